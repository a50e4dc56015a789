#include "paths.h"

#include "registry.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Platform {

QString nativePath(const QString &composed)
{
    // The Windows file API takes mixed and doubled separators as they are.
    return composed;
}

QString machineRoot()
{
    return QString();
}

QString programFilesDir()
{
    return QString::fromLocal8Bit(qgetenv("PROGRAMFILES"));
}

QString programsDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

QString desktopDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString appDataDir()
{
    auto key = openRegistryKey(QStringLiteral(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
    return key->value(QStringLiteral("AppData")).toString();
}

QString systemDriveRoot()
{
    return QDir::rootPath();
}

bool isProtectedFolder(const QString &path)
{
    const QString target = QDir::cleanPath(QFileInfo(path).absoluteFilePath()).toLower();
    if (target.isEmpty() || QDir(target).isRoot())
        return true;
    const QStringList guarded = {programFilesDir(), programsDir(), desktopDir(), appDataDir(),
                                 QDir::homePath(), QDir::tempPath(),
                                 QString::fromLocal8Bit(qgetenv("ProgramFiles(x86)")),
                                 QString::fromLocal8Bit(qgetenv("SystemRoot"))};
    for (const QString &g : guarded) {
        if (!g.isEmpty() && target == QDir::cleanPath(QFileInfo(g).absoluteFilePath()).toLower())
            return true;
    }
    return false;
}

} // namespace Platform
