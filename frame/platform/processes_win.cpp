#include "processes.h"

#include "win32/tasklist.h"

#include <QDebug>
#include <QProcess>

namespace Platform {

bool isProcessRunning(const QString &imageName)
{
    QProcess tasklist;
    tasklist.start(QStringLiteral("tasklist.exe"),
                   {QStringLiteral("-fi"), QStringLiteral("imagename eq %1").arg(imageName)},
                   QIODevice::ReadWrite);
    if (!tasklist.waitForFinished(30000))
        return false;
    const QByteArray output = tasklist.readAll();
    qDebug() << output;
    // tasklist filters case-insensitively; the name must appear as given, in the name column.
    return Win32::tasklistHasImage(output.toStdString(), imageName.toLocal8Bit().toStdString());
}

void killProcesses(const QString &imageName)
{
    QProcess taskkill;
    taskkill.start(QStringLiteral("taskkill.exe"),
                   {QStringLiteral("-F"), QStringLiteral("/IM"), imageName}, QIODevice::ReadWrite);
    if (taskkill.waitForFinished(30000))
        qDebug() << taskkill.readAll();
}

} // namespace Platform
