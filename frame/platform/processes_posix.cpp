#include "processes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QThread>

#include <csignal>
#include <sys/types.h>

namespace Platform {

namespace {

// A process stands for an image name when the file name of its executable or of its argv[0]
// equals it, like tasklist's image name column.
QList<qint64> processesNamed(const QString &imageName)
{
    QList<qint64> found;
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == self)
            continue;
        const QString base = QStringLiteral("/proc/") + entry;
        QString exe = QFileInfo(base + QStringLiteral("/exe")).symLinkTarget();
        exe.remove(QStringLiteral(" (deleted)"));
        if (!exe.isEmpty() && QFileInfo(exe).fileName() == imageName) {
            found << pid;
            continue;
        }
        QFile cmdline(base + QStringLiteral("/cmdline"));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;   // process may have exited
        const QByteArray args = cmdline.read(4096);
        const QString argv0 = QString::fromLocal8Bit(args.left(args.indexOf('\0')));
        if (!argv0.isEmpty() && QFileInfo(argv0).fileName() == imageName)
            found << pid;
    }
    return found;
}

} // namespace

bool isProcessRunning(const QString &imageName)
{
    return !imageName.isEmpty() && !processesNamed(imageName).isEmpty();
}

void killProcesses(const QString &imageName)
{
    if (imageName.isEmpty())
        return;
    for (qint64 pid : processesNamed(imageName))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    // taskkill returns once the processes are gone; callers go on to delete their files.
    QElapsedTimer clock;
    clock.start();
    while (!processesNamed(imageName).isEmpty() && clock.elapsed() < 30000)
        QThread::msleep(20);
}

} // namespace Platform
