#include "launcher.h"

#include <QFile>
#include <QProcess>

namespace Platform {

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool openDetached(const QString &path)
{
    return QProcess::startDetached(QStringLiteral("explorer"), {path});
}

bool runBatchDetached(const QString &batchPath)
{
    return QProcess::startDetached(batchPath, {});
}

void grantEveryoneFullAccess(const QString &dir)
{
    QProcess icacls;
    icacls.start(QStringLiteral("icacls"),
                 {dir, QStringLiteral("/grant"), QStringLiteral("EveryOne:F"), QStringLiteral("/t")});
    icacls.waitForFinished(30000);
}

bool createShortcut(const QString &target, const QString &linkPath)
{
    return QFile::link(target, linkPath);
}

} // namespace Platform
