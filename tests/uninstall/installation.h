#pragma once

// An installation as the installer leaves it, laid out in the current machine root: version
// folder inside the product folder, uninstall entry, start-up value, the maker's settings key
// with "info", shortcuts; plus neighbours that are not ours and must survive.
#include "core/xfunc.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QStringList>

namespace TestSupport {

struct Installation
{
    Edition edition;
    QString product;   // ".../Vantrix/VantrixZMT" or ".../Vantrix/Vantrix for Unity"
    QString version;   // product + "/3.0.1.12345": the installation directory
    QString recordName;
    QString neighbour; // a file beside the product folder, not ours
    QStringList clientFiles;
    QStringList shortcuts;

    QString displayName() const { return edition.lang == QLatin1String("en_us") ? edition.nameEN : edition.name; }
};

inline QString registryNameOf(const Edition &e)
{
    return e.third == QLatin1String("Corvanta") ? QStringLiteral("VantrixCV") : QStringLiteral("VantrixZMT");
}

inline QString productNameOf(const Edition &e)
{
    return e.third == QLatin1String("Corvanta") ? QStringLiteral("Vantrix for Unity") : QStringLiteral("VantrixZMT");
}

// Registry writes of the installer; recordedDir is the text that goes into "installDir".
inline void writeRecord(const Installation &inst, const QString &recordedDir)
{
    const Edition &e = inst.edition;
    const QString r = inst.recordName;
    auto uninstall = Platform::openRegistryKey(
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    uninstall->beginGroup(r);
    uninstall->setValue(QStringLiteral("installDir"), recordedDir);
    uninstall->setValue(QStringLiteral("DisplayName"), inst.displayName());
    uninstall->setValue(QStringLiteral("UninstallString"), QString(recordedDir + QStringLiteral("\\uninstall.exe")));
    uninstall->setValue(QStringLiteral("DisplayIcon"), QString(recordedDir + QStringLiteral("\\VX.ico")));
    uninstall->setValue(QStringLiteral("Publisher"), QStringLiteral("Norvale"));
    uninstall->endGroup();
    uninstall->setValue(QStringLiteral("OtherProduct/DisplayName"), QStringLiteral("Not ours"));
    Platform::flushRegistry(*uninstall);

    auto run = Platform::openRegistryKey(
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    run->setValue(e.exe, QStringLiteral("\"%1\\%2\" RegAutoRun").arg(recordedDir, e.exe));
    run->setValue(QStringLiteral("OtherApp.exe"), QStringLiteral("C:\\Other\\OtherApp.exe"));
    Platform::flushRegistry(*run);

    auto maker = Platform::openRegistryKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Norvale"));
    QJsonObject info;
    info.insert(QStringLiteral("exe"), e.exe);
    info.insert(QStringLiteral("lang"), e.lang);
    info.insert(QStringLiteral("mark"), e.mark);
    info.insert(QStringLiteral("name"), e.name);
    info.insert(QStringLiteral("nameEN"), e.nameEN);
    info.insert(QStringLiteral("third"), e.third);
    maker->beginGroup(r + QStringLiteral("/Settings"));
    maker->setValue(QStringLiteral("info"), XFunc::jsonToString(info));
    maker->setValue(QStringLiteral("InstallDir"), recordedDir);
    maker->setValue(QStringLiteral("ThirdPart"), e.third);
    maker->setValue(QStringLiteral("Language"), e.lang == QLatin1String("en_us") ? "en_us" : "zh_cn");
    maker->endGroup();
    maker->setValue(QStringLiteral("OtherClient/Settings/InstallDir"), QStringLiteral("C:\\Other"));
    Platform::flushRegistry(*maker);
}

inline void link(const QString &target, const QString &linkPath)
{
    QDir().mkpath(QFileInfo(linkPath).path());
    QFile::link(target, linkPath);
}

// Lays the installation out in the machine root VX_SYSROOT names; backslashes selects the form
// of the recorded installation directory.
inline Installation layOut(const Edition &e, const QString &surveyBase = QString(), bool backslashes = false)
{
    Installation inst;
    inst.edition = e;
    inst.recordName = registryNameOf(e);
    const QString vendor = Platform::programFilesDir() + QStringLiteral("/Vantrix");
    inst.product = vendor + QLatin1Char('/') + productNameOf(e);
    inst.version = inst.product + QStringLiteral("/3.0.1.12345");
    inst.neighbour = vendor + QStringLiteral("/keep-me.txt");
    writeFile(inst.neighbour, "not ours");

    const QStringList files = {e.exe, QStringLiteral("Qt5Core.dll"), QStringLiteral("VX.ico"),
                               QStringLiteral("plugins/platforms/qwindows.dll"),
                               QStringLiteral("data/readonly.dat")};
    for (const QString &f : files) {
        writeFile(inst.version + QLatin1Char('/') + f, QByteArray(512, 'x'));
        inst.clientFiles << inst.version + QLatin1Char('/') + f;
    }
    QFile::setPermissions(inst.version + QStringLiteral("/data/readonly.dat"), QFile::ReadOwner);
    writeFile(inst.version + QStringLiteral("/service.ini"),
              "[server]\nbs=" + surveyBase.toUtf8() + "\n");

    QString recorded = inst.version;
    if (backslashes)
        recorded.replace(QLatin1Char('/'), QLatin1Char('\\'));
    writeRecord(inst, recorded);

    const QString name = inst.displayName();
    const bool zh = e.lang != QLatin1String("en_us");
    const bool partner = !e.third.isEmpty() && e.third != QLatin1String("Corvanta");
    const QString menu = Platform::programsDir() + QLatin1Char('/') + (partner ? name : QStringLiteral("Vantrix"));
    const QString start = zh ? QStringLiteral("启动") : QStringLiteral("start ");
    const QString remove = zh ? QStringLiteral("卸载") : QStringLiteral("uninstall ");
    inst.shortcuts << QString(menu + QLatin1Char('/') + start + name + QStringLiteral(".lnk"))
                   << QString(menu + QLatin1Char('/') + remove + name + QStringLiteral(".lnk"))
                   << QString(Platform::desktopDir() + QLatin1Char('/') + name + QStringLiteral(".lnk"));
    link(inst.version + QLatin1Char('/') + e.exe, inst.shortcuts.at(0));
    link(inst.version + QStringLiteral("/uninstall.exe"), inst.shortcuts.at(1));
    link(inst.version + QLatin1Char('/') + e.exe, inst.shortcuts.at(2));
    // Another program's shortcut in the same folder stays.
    writeFile(menu + QStringLiteral("/Other.lnk"), "other");
    return inst;
}

// 3ds Max releases as their installers register them: "Installdir" with a trailing backslash.
inline QString seedMax(const QString &root, const QString &product, const QString &release, const QString &folder)
{
    const QString dir = root + QStringLiteral("/Autodesk/") + folder;
    const QString startup = dir + QStringLiteral("/scripts/Startup");
    QDir().mkpath(startup);
    for (const char *script : {"vantrixMenu.ms", "o_vantrixMenu.ms", "other.ms"})
        writeFile(startup + QLatin1Char('/') + QLatin1String(script), "--");
    auto hklm = hive(root, QStringLiteral("HKEY_LOCAL_MACHINE"));
    QString key = QStringLiteral("SOFTWARE/Autodesk/") + product + QLatin1Char('/') + release;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    hklm->setValue(key + QStringLiteral("/Installdir"),
                   QString(dir + QLatin1Char('/')).replace(QLatin1Char('/'), QLatin1Char('\\')));
    hklm->sync();
    return startup;
}

// A SketchUp version folder with our loader and plug-in folder beside another plug-in.
inline QString seedSketchUp(const QString &version)
{
    const QString plugins = Platform::appDataDir() + QStringLiteral("/SketchUp/") + version
                            + QStringLiteral("/SketchUp/Plugins");
    writeFile(plugins + QStringLiteral("/Vantrix_ZMT.rb"), "load");
    writeFile(plugins + QStringLiteral("/Vantrix_ZMT/main.rb"), "main");
    writeFile(plugins + QStringLiteral("/Vantrix_ZMT/icons/a.png"), "png");
    writeFile(plugins + QStringLiteral("/other_plugin.rb"), "other");
    return plugins;
}

inline QVariant registryValue(const QString &root, const QString &hiveName, const QString &key)
{
    auto h = hive(root, hiveName);
    h->sync();
    return h->value(key);
}

inline bool registryHasGroup(const QString &root, const QString &hiveName, const QString &group)
{
    auto h = hive(root, hiveName);
    h->sync();
    h->beginGroup(group);
    return !h->allKeys().isEmpty();
}

} // namespace TestSupport
