#pragma once

// An installer folder as the maker ships it, built from this build's programs and the stand-in
// client: the installer, files.zip (client, uninstall.exe, update.exe, service.ini), VX.ini in
// GB2312, service.ini, version, VX.ico, SPCache, the runtime files and MOsetup.exe.
#include "testroot.h"

#include <JlCompress.h>

#include <QMap>
#include <QTemporaryDir>

namespace TestSupport {

struct Payload
{
    QMap<QString, QByteArray> files{{QStringLiteral("libs/render.dll"), QByteArray("render library")},
                                    {QStringLiteral("data/readme.txt"), QByteArray("readme")}};
};

inline void copyExecutable(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    QFile::copy(from, to);
    QFile::setPermissions(to, QFile::permissions(to) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

inline QByteArray serviceIni(const QString &base)
{
    return "[server]\nbs=" + base.toUtf8() + "\n[channel]\nhost=" + base.toUtf8()
           + "\n[update]\nprimary=" + base.toUtf8() + "\nalternate=" + base.toUtf8()
           + "\nstallTimeout=5\n[product]\nurl=http://127.0.0.1/vantrix\n";
}

inline void makeInstallerFolder(const QString &dir, const Edition &edition, const QString &serviceBase,
                                const Payload &payload = Payload(), const QByteArray &version = "\"3.0.1\"\n")
{
    QTemporaryDir staging;
    copyExecutable(testBin(QStringLiteral("vx_standin")), staging.path() + QStringLiteral("/VantrixZMT.exe"));
    copyExecutable(bin(QStringLiteral("uninstall")), staging.path() + QStringLiteral("/uninstall.exe"));
    copyExecutable(bin(QStringLiteral("update")), staging.path() + QStringLiteral("/update.exe"));
    writeFile(staging.path() + QStringLiteral("/service.ini"), serviceIni(serviceBase));
    for (auto it = payload.files.begin(); it != payload.files.end(); ++it)
        writeFile(staging.path() + QLatin1Char('/') + it.key(), it.value());
    QDir().mkpath(dir);
    JlCompress::compressDir(dir + QStringLiteral("/files.zip"), staging.path(), true);

    copyExecutable(bin(QStringLiteral("install")), dir + QStringLiteral("/install"));
    writeEditionFile(dir, edition);
    writeFile(dir + QStringLiteral("/service.ini"), serviceIni(serviceBase));
    writeFile(dir + QStringLiteral("/version"), version);
    writeFile(dir + QStringLiteral("/VX.ico"), "icon");
    writeFile(dir + QStringLiteral("/SPCache"), "cache of the first installer");
    for (const char *dll : {"icudt52.dll", "icuin52.dll", "icuuc52.dll", "msvcp100.dll", "msvcr100.dll",
                            "Qt5Core.dll", "Qt5Gui.dll", "Qt5Widgets.dll"})
        writeFile(dir + QLatin1Char('/') + QLatin1String(dll), QByteArray("runtime ") + dll);
    copyExecutable(testBin(QStringLiteral("vx_standin")), dir + QStringLiteral("/VantrixZMT.exe"));
    copyExecutable(testBin(QStringLiteral("vx_standin")), dir + QStringLiteral("/MOsetup.exe"));
}

} // namespace TestSupport
