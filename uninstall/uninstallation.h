#pragma once

#include <QString>

#include <functional>

class InstallContext;

// The uninstallation itself, the same with a window and without one.
namespace Uninstallation {

// Removes the client in its order: the running client, shortcuts, Corvanta's Unity parts, the
// installation directory, the registry records, the 3ds Max scripts and the SketchUp plug-in.
// `progress` hears each checkpoint, the last being 100. Returns the product folder the
// self-removal may take away: empty when the installation directory is not ours to delete.
QString run(InstallContext &context, const QString &record, const std::function<void(int)> &progress);

// Leaves the product folder to a batch that runs once this program has ended; nothing without one.
void startSelfRemoval(const QString &productFolder);

} // namespace Uninstallation
