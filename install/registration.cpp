#include "registration.h"

#include "core/fileops.h"
#include "core/regkeys.h"
#include "core/shortcutnames.h"
#include "core/xfunc.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QUrlQuery>

namespace Registration {

namespace {

QString native(const QString &composed)
{
    return Platform::nativePath(composed);
}

void removeShortcut(const QString &path)
{
    FileOps::remove(path, FileOps::Traced);
}

void makeShortcut(const QString &target, const QString &link)
{
    QFile::remove(native(link));
    Platform::createShortcut(target, link);
}

} // namespace

void copyRuntimeFiles(const QString &appDir, const QString &installDir)
{
    static const char *const runtime[] = {"icudt52.dll", "icuin52.dll", "icuuc52.dll",
                                          "msvcp100.dll", "msvcr100.dll", "Qt5Core.dll",
                                          "Qt5Gui.dll", "Qt5Widgets.dll", "VantrixZMT.exe"};
    for (const char *file : runtime) {
        const QString name = QStringLiteral("\\") + QLatin1String(file);
        QFile::remove(native(installDir + name));
        QFile::copy(native(appDir + name), native(installDir + name));
    }
}

void prepareDataFolder(const QString &appDir, const QString &registryName)
{
    QString appData = XFunc::regValue(RegKeys::shellFolders(), QStringLiteral("AppData")).toString();
    appData.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Without the value the folder goes to the root of the system drive, as Windows would put it.
    if (appData.isEmpty())
        appData = Platform::systemDriveRoot();
    const QString folder = native(appData + QLatin1Char('/') + registryName);
    QDir().mkpath(folder + QStringLiteral("/AllUser"));
    QFile::copy(native(appDir + QStringLiteral("\\SPCache")), folder + QStringLiteral("/AllUser/SPCache"));
}

bool renameClient(const QString &installDir, const QString &exe)
{
    const QString source = installDir + QStringLiteral("\\VantrixZMT.exe");
    const QString target = installDir + QLatin1Char('\\') + exe;
    if (source == target)
        return true;
    // An empty name would make the folder itself the target.
    if (exe.isEmpty())
        return false;
    return QFile::rename(native(source), native(target));
}

void copyIcon(const QString &appDir, const QString &installDir)
{
    QFile::copy(native(appDir + QStringLiteral("/VX.ico")), native(installDir + QStringLiteral("/VX.ico")));
}

void replaceShortcuts(const Input &in, const QString &programsDir, const QString &desktopDir)
{
    const QString start = ShortcutNames::fileName(ShortcutNames::startPrefix(in.zh), in.displayName);
    const QString uninstall =
        ShortcutNames::fileName(ShortcutNames::uninstallPrefix(in.zh), in.displayName);
    const QString desktop = desktopDir + QLatin1Char('/') + ShortcutNames::fileName(QString(), in.displayName);
    const QString oldFolder = programsDir + QLatin1Char('/') + in.displayName;
    const QString folder =
        programsDir + QLatin1Char('/') + ShortcutNames::folderName(in.edition, in.displayName);
    if (!in.displayName.isEmpty()) {
        removeShortcut(oldFolder + QLatin1Char('/') + start);
        removeShortcut(oldFolder + QLatin1Char('/') + uninstall);
        removeShortcut(desktop);
        removeShortcut(folder + QLatin1Char('/') + start);
        removeShortcut(folder + QLatin1Char('/') + uninstall);
        removeShortcut(desktop);
    }
    if (in.startMenu) {
        QDir().mkdir(native(folder));
        makeShortcut(in.clientPath(), folder + QLatin1Char('/') + start);
        makeShortcut(in.uninstallerPath(), folder + QLatin1Char('/') + uninstall);
    }
    makeShortcut(in.clientPath(), desktop);
}

void writeRunEntry(QSettings &run, const Input &in)
{
    run.setValue(in.exe, QString(in.clientPath() + QStringLiteral(" RegAutoRun")));
    Platform::flushRegistry(run);
}

void writeUninstallEntry(QSettings &uninstall, const QString &registryName, const Input &in)
{
    const bool standard = in.edition.isEmpty();
    const bool corvanta = in.edition == QLatin1String("Corvanta");
    uninstall.beginGroup(registryName);
    uninstall.setValue(QStringLiteral("DisplayName"), in.displayName);
    uninstall.setValue(QStringLiteral("UninstallString"), in.uninstallerPath());
    uninstall.setValue(QStringLiteral("installDir"), in.installDir);
    uninstall.setValue(QStringLiteral("DisplayVersion"), in.version);
    if (standard)
        uninstall.setValue(QStringLiteral("URLInfoAbout"), in.productUrl);
    if (standard || corvanta)
        uninstall.setValue(QStringLiteral("Publisher"),
                           in.zh ? QStringLiteral("Tolvenar") : QStringLiteral("Brightfold"));
    uninstall.setValue(QStringLiteral("DisplayIcon"), in.clientPath());
    uninstall.endGroup();
    Platform::flushRegistry(uninstall);
}

void writeSettings(QSettings &settings, const Input &in)
{
    QJsonObject info;
    info.insert(QStringLiteral("exe"), in.exe);
    info.insert(QStringLiteral("lang"), in.lang);
    info.insert(QStringLiteral("mark"), in.mark);
    info.insert(QStringLiteral("name"), in.displayName);
    info.insert(QStringLiteral("nameEN"), in.nameEN);
    info.insert(QStringLiteral("third"), in.edition);
    settings.setValue(QStringLiteral("ThirdPart"), in.edition);
    settings.setValue(QStringLiteral("Language"), in.zh ? QStringLiteral("zh_cn") : QStringLiteral("en_us"));
    settings.setValue(QStringLiteral("InstallDir"), in.installDir);
    settings.setValue(QStringLiteral("info"), XFunc::jsonToString(info));
    Platform::flushRegistry(settings);
}

void grantAccess(const QString &installDir)
{
    const QString product = QFileInfo(native(installDir)).absolutePath();
    Platform::grantEveryoneFullAccess(product);
}

void removeOtherClientFiles()
{
    auto key = Platform::openRegistryKey(RegKeys::maker() + QStringLiteral("\\KQClient\\Settings"));
    const QString dir = key->value(QStringLiteral("InstallDir")).toString();
    if (dir.isEmpty())
        return;
    static const char *const files[] = {"o_render_fn.mse", "o_vantrix_1.mse", "o_vantrix_2.mse",
                                        "render_fn.mse",   "vantrix_1.mse",   "vantrix_2.mse",
                                        "MaxRelay.dll",    "Newtonsoft.Json.dll", "3dsMax.dll"};
    for (const char *file : files)
        QFile::remove(native(dir + QLatin1Char('\\') + QLatin1String(file)));
}

QUrl channelReportUrl(const QString &host, const QString &mark, const QString &mac, const QString &cpu)
{
    QUrl url(host + QStringLiteral("/clientChannel/clientChannelInfo"));
    // The values are escaped by the service's own rule; the URL must not escape them again.
    url.setQuery(QStringLiteral("mark=") + mark + QStringLiteral("&macAddr=") + XFunc::urlEncode(mac)
                     + QStringLiteral("&cpu=") + XFunc::urlEncode(cpu),
                 QUrl::TolerantMode);
    return url;
}

} // namespace Registration
