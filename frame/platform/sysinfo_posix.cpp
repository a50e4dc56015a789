#include "sysinfo.h"

#include "paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

namespace Platform {

bool processorText(QString &text)
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QString name;
    int cores = 0;
    int processors = 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const int colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray key = line.left(colon).trimmed();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (key == "processor")
            ++processors;
        else if (key == "model name" && name.isEmpty())
            name = QString::fromUtf8(value);
        else if (key == "cpu cores" && cores == 0)
            cores = value.toInt();
    }
    if (cores == 0)
        cores = processors;
    text = QStringLiteral("[%1]").arg(cores) + name;
    return true;
}

QString singleInstanceName()
{
    // Scoped to the machine root so that two emulated machines never block each other.
    const QByteArray digest =
        QCryptographicHash::hash(machineRoot().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir::tempPath() + QStringLiteral("/zamotelle_install-") + QString::fromLatin1(digest);
}

} // namespace Platform
