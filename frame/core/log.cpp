#include "log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>

#include <cstdlib>

namespace {

QFile *logFile = nullptr;
QByteArray pending;
QMutex logMutex;

constexpr qint64 maxLogBytes = 32 * 1024 * 1024;

// Lines are gathered and written in blocks: a removal traces every file, and a write per line
// cost as much as the removal itself. Warnings and worse go out at once.
void flushPending()
{
    if (logFile && !pending.isEmpty()) {
        logFile->write(pending);
        logFile->flush();
    }
    pending.clear();
}

void flushAtExit()
{
    QMutexLocker lock(&logMutex);
    flushPending();
}

void writeLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const char *const kinds[] = {"debug", "warning", "critical", "fatal", "info"};
    const char *kind = type >= 0 && type <= 4 ? kinds[type] : "debug";
    QMutexLocker lock(&logMutex);
    if (logFile) {
        // UTC: local time looks the time zone up on every call. Lines of one millisecond share
        // their time stamp: a removal traces thousands of files per second.
        static qint64 stampedAt = -1;
        static QByteArray stamp;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (now != stampedAt) {
            stampedAt = now;
            stamp = QDateTime::fromMSecsSinceEpoch(now, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1();
        }
        pending += stamp;
        pending += ' ';
        pending += kind;
        pending += ' ';
        pending += context.file ? context.file : "?";
        pending += ':';
        pending += QByteArray::number(context.line);
        pending += ' ';
        pending += context.function ? context.function : "?";
        pending += ": ";
        pending += message.toUtf8();
        pending += '\n';
        if (type != QtDebugMsg && type != QtInfoMsg)
            flushPending();
        else if (pending.size() >= 64 * 1024)
            flushPending();
    }
    if (type == QtFatalMsg) {
        flushPending();
        abort();
    }
}

} // namespace

QString logFilePath(const QString &program)
{
    return QDir::tempPath() + QStringLiteral("/vantrix-") + program + QStringLiteral(".log");
}

void installLogHandler(const QString &program)
{
    QMutexLocker lock(&logMutex);
    if (!logFile) {
        logFile = new QFile(logFilePath(program));
        // Each run appends; a removal traces every file, so without a bound the temporary
        // folder would keep every run's trace. An overgrown log starts afresh.
        const QIODevice::OpenMode mode =
            logFile->size() > maxLogBytes ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::Append;
        if (!logFile->open(mode)) {
            delete logFile;
            logFile = nullptr;
            return;
        }
        pending += "---- " + program.toUtf8() + " started "
                   + QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + '\n';
        std::atexit(flushAtExit);
    }
    qInstallMessageHandler(writeLine);
}
