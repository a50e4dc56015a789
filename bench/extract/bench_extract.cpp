// Extracts one archive into a folder the way the installer does, and says how long it took.
// Usage: vx_bench_extract <archive> <folder> [--workers N]
#include "zmtextract.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && !(args.size() == 5 && args.at(3) == QLatin1String("--workers"))) {
        std::fprintf(stderr, "usage: vx_bench_extract <archive> <folder> [--workers N]\n");
        return 2;
    }
    ZipExtract::Tuning tuning;
    if (args.size() == 5)
        tuning.workers = args.at(4).toInt();

    // Listening costs what the window's connection costs: one signal per entry.
    QObject notifier;
    int told = 0;
    QObject::connect(&notifier, &QObject::objectNameChanged, [&told] { ++told; });

    QElapsedTimer timer;
    timer.start();
    const QStringList files = ZipExtract::extractDir(args.at(1), args.at(2), &notifier, tuning);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("entries %d  told %d  %.3f s\n", int(files.size()), told, seconds);
    return files.isEmpty() ? 1 : 0;
}
