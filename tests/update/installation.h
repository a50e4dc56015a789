#pragma once

// An installed client as the installer leaves it, inside a machine root: the version folder, the
// uninstall entry and the settings key with the "info" JSON.
#include "testroot.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace TestSupport {

struct Installation
{
    QString root;   // machine root
    QString dir;    // the installation directory (version folder)
    Edition edition;

    QString registryName() const
    {
        return edition.third == QLatin1String("Corvanta") ? QStringLiteral("VantrixCV") : QStringLiteral("VantrixZMT");
    }
    QString uninstallGroup() const
    {
        return QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Uninstall/") + registryName();
    }
    QString settingsGroup() const
    {
        return QStringLiteral("Software/Norvale/") + registryName() + QStringLiteral("/Settings");
    }
    QVariant uninstallValue(const QString &name) const
    {
        return hive(root, QStringLiteral("HKEY_LOCAL_MACHINE"))->value(uninstallGroup() + QLatin1Char('/') + name);
    }
    QVariant settingsValue(const QString &name) const
    {
        return hive(root, QStringLiteral("HKEY_CURRENT_USER"))->value(settingsGroup() + QLatin1Char('/') + name);
    }

    void writeServiceIni(const QString &primary, const QString &alternate, int stallSeconds = 30) const
    {
        writeFile(dir + QStringLiteral("/service.ini"),
                  QStringLiteral("[update]\nprimary=%1\nalternate=%2\nstallTimeout=%3\n")
                      .arg(primary, alternate)
                      .arg(stallSeconds)
                      .toUtf8());
    }

    // The updater binary beside the client, as the installer ships it.
    QString copyUpdater() const
    {
        const QString target = dir + QStringLiteral("/update");
        QFile::remove(target);
        QFile::copy(bin(QStringLiteral("update")), target);
        return target;
    }
};

inline Installation makeInstallation(const QString &machineRoot, const Edition &edition,
                                     const QString &version = QStringLiteral("3.0.1"))
{
    Installation inst;
    inst.root = machineRoot;
    inst.edition = edition;
    const QString product =
        edition.third == QLatin1String("Corvanta") ? QStringLiteral("Vantrix for Unity") : QStringLiteral("VantrixZMT");
    inst.dir = machineRoot + QStringLiteral("/Program Files/Vantrix/") + product + QLatin1Char('/') + version
               + QStringLiteral(".07415");
    QDir().mkpath(inst.dir);

    const QString name = edition.lang == QLatin1String("en_us") ? edition.nameEN : edition.name;
    auto hklm = hive(machineRoot, QStringLiteral("HKEY_LOCAL_MACHINE"));
    hklm->beginGroup(inst.uninstallGroup());
    hklm->setValue(QStringLiteral("DisplayName"), name);
    hklm->setValue(QStringLiteral("UninstallString"), QString(inst.dir + QStringLiteral("\\uninstall.exe")));
    hklm->setValue(QStringLiteral("installDir"), inst.dir);
    hklm->setValue(QStringLiteral("DisplayVersion"), version);
    hklm->setValue(QStringLiteral("DisplayIcon"), QString(inst.dir + QLatin1Char(0x5c) + edition.exe));
    hklm->endGroup();
    hklm->sync();

    QJsonObject info;
    info.insert(QStringLiteral("exe"), edition.exe);
    info.insert(QStringLiteral("lang"), edition.lang);
    info.insert(QStringLiteral("mark"), edition.mark);
    info.insert(QStringLiteral("name"), name);
    info.insert(QStringLiteral("nameEN"), edition.nameEN);
    info.insert(QStringLiteral("third"), edition.third);
    auto hkcu = hive(machineRoot, QStringLiteral("HKEY_CURRENT_USER"));
    hkcu->beginGroup(inst.settingsGroup());
    hkcu->setValue(QStringLiteral("info"),
                   QString::fromUtf8(QJsonDocument(info).toJson(QJsonDocument::Compact)));
    hkcu->setValue(QStringLiteral("InstallDir"), inst.dir);
    hkcu->setValue(QStringLiteral("ThirdPart"), edition.third);
    hkcu->setValue(QStringLiteral("Language"), edition.lang == QLatin1String("en_us") ? "en_us" : "zh_cn");
    hkcu->endGroup();
    hkcu->sync();
    return inst;
}

} // namespace TestSupport
