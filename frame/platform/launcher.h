#pragma once

#include <QString>
#include <QStringList>

namespace Platform {

// Starts a program that outlives us. Paths may be composed texts.
bool startDetached(const QString &program, const QStringList &arguments = {});

// Opens a program the way the shell does (explorer PATH on Windows).
bool openDetached(const QString &path);

// Starts the self-removal batch written at batchPath; it runs after we have ended.
bool runBatchDetached(const QString &batchPath);

// Grants every user full access to the tree below dir; bounded at 30 s.
void grantEveryoneFullAccess(const QString &dir);

// Makes a shortcut at linkPath pointing at target (both composed texts).
bool createShortcut(const QString &target, const QString &linkPath);

} // namespace Platform
