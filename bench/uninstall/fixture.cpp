// Lays out an installation of many small files in the machine root VX_SYSROOT names, ready for an
// unattended uninstall, and an equal plain tree for the tool a user would compare with.
//
//   vx_bench_uninstall_fixture <uninstaller binary> <plain tree folder> <files> <seed>
//
// Prints the installation directory.
#include "core/xfunc.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

namespace {

bool writeTree(const QString &base, int files, quint32 seed)
{
    QRandomGenerator random(seed);
    // About the shape of a client: folders of up to 100 files, two levels deep.
    const QByteArray filler(8192, 'v');
    for (int i = 0; i < files; ++i) {
        const QString dir = base + QStringLiteral("/lib%1/part%2").arg(i / 1000).arg((i / 100) % 10);
        if (i % 100 == 0 && !QDir().mkpath(dir))
            return false;
        QFile file(dir + QStringLiteral("/file%1.dat").arg(i));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(filler.constData(), 1024 + random.bounded(7 * 1024 + 1));
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: %s <uninstaller> <plain tree> <files> <seed>\n", argv[0]);
        return 2;
    }
    const QString uninstaller = args.at(1);
    const QString plain = args.at(2);
    const int files = args.at(3).toInt();
    const quint32 seed = args.at(4).toUInt();

    const QString product = Platform::programFilesDir() + QStringLiteral("/Vantrix/VantrixZMT");
    const QString version = product + QStringLiteral("/3.0.1.12345");
    const QString exe = QStringLiteral("VxBenchClient.exe");
    // Both trees: the data files, the uninstaller and service.ini, so they hold the same count.
    for (const QString &tree : {version, plain}) {
        if (!writeTree(tree, files - 2, seed) || !QFile::copy(uninstaller, tree + QStringLiteral("/uninstall.exe")))
            return 1;
        QFile(tree + QStringLiteral("/service.ini")).open(QIODevice::WriteOnly);
    }

    auto uninstall = Platform::openRegistryKey(
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantrixZMT"));
    uninstall->setValue(QStringLiteral("installDir"), version);
    uninstall->setValue(QStringLiteral("DisplayName"), QStringLiteral("Bench Client"));
    Platform::flushRegistry(*uninstall);
    auto run = Platform::openRegistryKey(
        QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    run->setValue(exe, QString(version + QLatin1Char('/') + exe));
    Platform::flushRegistry(*run);
    auto settings = Platform::openRegistryKey(QStringLiteral("HKEY_CURRENT_USER\\Software\\Norvale\\VantrixZMT\\Settings"));
    QJsonObject info;
    info.insert(QStringLiteral("exe"), exe);
    info.insert(QStringLiteral("lang"), QStringLiteral("en_us"));
    info.insert(QStringLiteral("mark"), QStringLiteral("vx"));
    info.insert(QStringLiteral("name"), QStringLiteral("Bench Client"));
    info.insert(QStringLiteral("nameEN"), QStringLiteral("Bench Client"));
    info.insert(QStringLiteral("third"), QString());
    settings->setValue(QStringLiteral("info"), XFunc::jsonToString(info));
    settings->setValue(QStringLiteral("InstallDir"), version);
    Platform::flushRegistry(*settings);
    const QString menu = Platform::programsDir() + QStringLiteral("/Vantrix");
    QDir().mkpath(menu);
    QFile::link(version + QLatin1Char('/') + exe, menu + QStringLiteral("/start Bench Client.lnk"));
    QFile::link(version + QLatin1Char('/') + exe, Platform::desktopDir() + QStringLiteral("/Bench Client.lnk"));

    QTextStream(stdout) << version << '\n';
    return 0;
}
