#include "installrules.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace InstallRules {

QString reducePreviousDir(const QString &previousDir)
{
    if (previousDir.isEmpty())
        return QString();
    const QString native = Platform::nativePath(previousDir);
    if (QFileInfo(native).isDir())
        return QDir::cleanPath(QFileInfo(native + QStringLiteral("/../..")).absoluteFilePath());
    QStringList parts = previousDir.split(QLatin1Char('\\'));
    // Fewer than three parts leave no folder once product and version folders are dropped.
    if (parts.size() < 3)
        return QString();
    parts.removeLast();
    parts.removeLast();
    return parts.join(QLatin1Char('\\'));
}

QString installationDir(const QString &chosen, const QString &edition, const QString &version,
                        const QTime &now)
{
    const QString product = edition == QLatin1String("Corvanta")
                                ? QStringLiteral("Vantrix for Unity")
                                : QStringLiteral("VantrixZMT");
    return chosen + QStringLiteral("\\%1\\%2.%3").arg(product, version, now.toString(QStringLiteral("sszzz")));
}

QString defaultFolder(const QString &programFiles, const QString &edition)
{
    const bool ours = edition.isEmpty() || edition == QLatin1String("Corvanta");
    return programFiles + QLatin1Char('\\') + (ours ? QStringLiteral("Vantrix") : edition);
}

namespace {

QString versionIn(const QString &dir)
{
    QFile file(dir + QStringLiteral("/version"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).remove(QLatin1Char('"')).trimmed();
}

} // namespace

QString readVersion(const QString &currentDir, const QString &installerDir)
{
    const QString version = versionIn(currentDir);
    return version.isEmpty() ? versionIn(installerDir) : version;
}

} // namespace InstallRules
