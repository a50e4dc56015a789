#pragma once

#include <QString>

// Shortcut names and folders as the installer makes them and the updater and uninstaller find them.
namespace ShortcutNames {

inline QString startPrefix(bool zh)
{
    return zh ? QStringLiteral("启动") : QStringLiteral("start ");
}
inline QString uninstallPrefix(bool zh)
{
    return zh ? QStringLiteral("卸载") : QStringLiteral("uninstall ");
}
// "%1%2" with the prefix and the display name, then "%1.lnk".
inline QString fileName(const QString &prefix, const QString &displayName)
{
    return QStringLiteral("%1.lnk").arg(QStringLiteral("%1%2").arg(prefix, displayName));
}
// The Start-menu folder: "Vantrix" for the standard and Corvanta editions, the display name for
// partners.
inline QString folderName(const QString &edition, const QString &displayName)
{
    return edition.isEmpty() || edition == QLatin1String("Corvanta") ? QStringLiteral("Vantrix")
                                                                     : displayName;
}

} // namespace ShortcutNames
