#pragma once

#include <QString>
#include <QTime>

// The installer's path and version rules, free of widgets.
namespace InstallRules {

// The folder chosen at the previous installation, from its recorded installation directory.
// Empty when nothing can be derived (the window then waits for the user).
QString reducePreviousDir(const QString &previousDir);

// The chosen folder + "\<product folder>\<version>.<ssmmm>".
QString installationDir(const QString &chosen, const QString &edition, const QString &version,
                        const QTime &now);

// Where a fresh installation goes unless the user chooses another folder.
QString defaultFolder(const QString &programFiles, const QString &edition);

// The client version from the file "version": in the current directory, else beside the installer.
QString readVersion(const QString &currentDir, const QString &installerDir);

} // namespace InstallRules
