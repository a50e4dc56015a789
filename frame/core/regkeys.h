#pragma once

#include <QString>

// Registry keys the three programs share.
namespace RegKeys {

inline QString uninstall()
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
}
inline QString run()
{
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}
inline QString maker()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\Norvale");
}
inline QString settings(const QString &registryName)
{
    return maker() + QLatin1Char('\\') + registryName + QStringLiteral("\\Settings");
}
inline QString shellFolders()
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
}

} // namespace RegKeys
