#include "maxdiscovery.h"

#include "platform/paths.h"
#include "platform/registry.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace MaxDiscovery {

QString readReg(const QString &path, const QString &name)
{
    return Platform::readMachineValue64(path, name);
}

QString maxInstallDir(int kind, const QString &releaseKey)
{
    const QString product = kind == 1 ? QStringLiteral("3dsMax") : QStringLiteral("3dsMaxDesign");
    return readReg(QStringLiteral("SOFTWARE\\Autodesk\\%1\\%2").arg(product, releaseKey),
                   QStringLiteral("Installdir"));
}

QStringList allMaxPath()
{
    // 2010 to 2019; the three oldest keep one key per language (English, Simplified Chinese).
    static const char *const releases[] = {
        "12.0\\MAX-1:409", "12.0\\MAX-1:804", "13.0\\MAX-1:409", "13.0\\MAX-1:804",
        "14.0\\MAX-1:409", "14.0\\MAX-1:804", "15.0", "16.0", "17.0", "18.0", "19.0", "20.0", "21.0"};
    QStringList found;
    for (const char *release : releases) {
        for (int kind = 1; kind <= 2; ++kind) {
            const QString dir = maxInstallDir(kind, QLatin1String(release));
            if (dir.isEmpty())
                continue;
            const QString candidate = Platform::nativePath(dir + QStringLiteral("scripts\\Startup\\"));
            if (QFileInfo(candidate).isDir())
                found << QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
        }
    }
    qDebug() << "qD" << found;
    return found;
}

} // namespace MaxDiscovery
