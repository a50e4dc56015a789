#pragma once

// What the window-picture programs share: where pictures go, and a machine with a real installation
// made by the installer, for the updater's and the uninstaller's windows.
#include "fakehttp.h"
#include "installerfolder.h"
#include "testroot.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace Shots {

inline QString &outDir()
{
    static QString dir;
    return dir;
}

inline int &failures()
{
    static int count = 0;
    return count;
}

// Starts a picture program: QApplication, the suite's font, the output folder from argv[1].
inline bool start(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return false;
    }
    outDir() = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(outDir());
    QFont font(QStringLiteral("Microsoft Yahei"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    return true;
}

inline void settle(int ms = 100)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        // Outside an event loop deferred deletions wait for this.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

inline void save(QWidget &w, const QString &name)
{
    w.show();
    w.raise();
    settle();
    const QString file = outDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!w.grab().save(file)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(file));
        ++failures();
    } else {
        std::printf("%s\n", qPrintable(file));
    }
}

// A picture program's whole run: the application, then one pass per interface language.
template <typename Each>
int runAll(int argc, char **argv, Each each)
{
    QApplication app(argc, argv);
    if (!start(argc, argv))
        return 2;
    for (const char *lang : {"zh_cn", "en_us"})
        each(QLatin1String(lang));
    return failures() == 0 ? 0 : 1;
}

// A machine root with the client installed by the real installer, unattended.
struct InstalledMachine
{
    TestSupport::MachineRoot root;
    TestSupport::FakeHttp service;
    QTemporaryDir installer;
    QString installDir;

    explicit InstalledMachine(const TestSupport::Edition &edition)
    {
        TestSupport::makeInstallerFolder(installer.path(), edition, service.base());
        // Served from this process: the installer's report must find the service answering.
        const TestSupport::RunResult r = TestSupport::runServing(
            installer.path() + QStringLiteral("/install"), {QStringLiteral("--silent")}, root.environment(),
            installer.path());
        const QString product = root.path() + QStringLiteral("/Program Files/Vantrix/VantrixZMT");
        const QStringList versions = QDir(product).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        if (r.exitCode != 0 || versions.isEmpty()) {
            std::fprintf(stderr, "installation failed: %s\n", r.err.constData());
            ++failures();
            return;
        }
        installDir = product + QLatin1Char('/') + versions.first();
    }
};

} // namespace Shots
