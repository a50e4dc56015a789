#include "installlayout.h"

#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

namespace InstallLayout {

QString recordName(const QString &appDir, bool editionFileBeside, const QString &third)
{
    if (editionFileBeside)
        return third == QLatin1String("Corvanta") ? QStringLiteral("VantrixCV") : QStringLiteral("VantrixZMT");
    return appDir.contains(QLatin1String("VantrixZMT")) ? QStringLiteral("VantrixZMT")
                                                         : QStringLiteral("VantrixCV");
}

QString productFolderName(const QString &recordName)
{
    return recordName == QLatin1String("VantrixCV") ? QStringLiteral("Vantrix for Unity")
                                                    : QStringLiteral("VantrixZMT");
}

QString productFolderOf(const QString &installDir, const QString &recordName, QString *why)
{
    auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return QString();
    };
    if (installDir.trimmed().isEmpty())
        return refuse(QStringLiteral("no installation directory"));
    const QString native = Platform::nativePath(installDir);
    if (!QDir::isAbsolutePath(native))
        return refuse(QStringLiteral("the installation directory is not an absolute path"));
    const QFileInfo version(cleanFolder(installDir));
    const QString product = version.path();
    if (version.fileName().isEmpty() || product == version.filePath())
        return refuse(QStringLiteral("the installation directory is a drive root"));
    if (Platform::isProtectedFolder(version.filePath()))
        return refuse(QStringLiteral("the installation directory is a protected folder"));
    if (version.exists() && !version.isDir())
        return refuse(QStringLiteral("the installation directory is not a folder"));
    const QFileInfo productInfo(product);
    if (productInfo.fileName() != productFolderName(recordName))
        return refuse(QStringLiteral("the installation directory is not inside a \"%1\" folder")
                          .arg(productFolderName(recordName)));
    if (Platform::isProtectedFolder(product))
        return refuse(QStringLiteral("the product folder is a protected folder"));
    if (productInfo.isSymLink())
        return refuse(QStringLiteral("the product folder is a link to another folder"));
    return product;
}

QString cleanFolder(const QString &installDir)
{
    return QDir::cleanPath(QFileInfo(Platform::nativePath(installDir)).absoluteFilePath());
}

} // namespace InstallLayout
