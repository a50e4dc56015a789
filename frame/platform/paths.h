#pragma once

#include <QString>

// Where the Windows machine the programs expect lives, and how the paths they compose reach it.
namespace Platform {

// Turns a composed path ("C:\dir\\x/y") into one the file API takes. Composed texts keep their
// backslashes because they are also what goes into the registry.
QString nativePath(const QString &composed);

// The emulated machine (Linux: VX_SYSROOT or a per-user default); created and seeded on first use.
// On Windows it is empty: the real machine is meant.
QString machineRoot();

QString programFilesDir();   // environment PROGRAMFILES when set
QString programsDir();       // the user's Start-menu Programs folder
QString desktopDir();        // the user's desktop folder
QString appDataDir();        // the user's roaming application data folder
QString systemDriveRoot();   // where the self-removal batch goes

// Folders that removal must never take away, even when they end up empty.
bool isProtectedFolder(const QString &path);

} // namespace Platform
