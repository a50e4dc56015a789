#include "procutil.h"

#include "platform/processes.h"

#include <QDebug>

namespace ProcUtil {

bool existProcess(QString name)
{
    if (!name.endsWith(QLatin1String(".exe")))
        name += QLatin1String(".exe");
    const bool running = Platform::isProcessRunning(name);
    qDebug() << name << running;
    return running;
}

void killProcess(const QString &name)
{
    qDebug() << name;
    Platform::killProcesses(name);
}

} // namespace ProcUtil
