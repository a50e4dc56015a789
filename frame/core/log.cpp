#include "log.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QTextStream>

namespace {

QFile *logFile = nullptr;
QMutex logMutex;

void writeLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static const char *const kinds[] = {"debug", "warning", "critical", "fatal", "info"};
    const char *kind = type >= 0 && type <= 4 ? kinds[type] : "debug";
    QMutexLocker lock(&logMutex);
    if (logFile) {
        QTextStream out(logFile);
        out.setCodec("UTF-8");
        // UTC: local time looks the time zone up on every call, one stat per line.
        out << QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) << ' ' << kind << ' '
            << (context.file ? context.file : "?") << ':' << context.line << ' '
            << (context.function ? context.function : "?") << ": " << message << '\n';
        out.flush();
    }
    if (type == QtFatalMsg)
        abort();
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
        if (!logFile->open(QIODevice::Append | QIODevice::Text)) {
            delete logFile;
            logFile = nullptr;
            return;
        }
        QTextStream(logFile) << "---- " << program << " started "
                             << QDateTime::currentDateTime().toString(Qt::ISODate) << '\n';
    }
    qInstallMessageHandler(writeLine);
}
