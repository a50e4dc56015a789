#include "registry.h"

#include "paths.h"

namespace Platform {

std::unique_ptr<QSettings> openRegistryKey(const QString &fullPath)
{
    QString path = fullPath;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const int cut = path.indexOf(QLatin1Char('\\'));
    const QString hive = cut < 0 ? path : path.left(cut);
    QString group = cut < 0 ? QString() : path.mid(cut + 1);
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));

    auto key = std::make_unique<QSettings>(
        machineRoot() + QStringLiteral("/registry/") + hive + QStringLiteral(".ini"),
        QSettings::IniFormat);
    key->setIniCodec("UTF-8");
    if (!group.isEmpty())
        key->beginGroup(group);
    return key;
}

QString readMachineValue64(const QString &subKey, const QString &valueName)
{
    auto key = openRegistryKey(QStringLiteral("HKEY_LOCAL_MACHINE\\") + subKey);
    const QVariant value = key->value(valueName);
    if (value.type() != QVariant::String)
        return QString();
    QString text = value.toString();
    const int nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    // The Windows read uses a 1024-byte buffer; a longer value does not fit and reads as empty.
    return text.size() >= 512 ? QString() : text;
}

void flushRegistry(QSettings &key)
{
    key.sync();
}

} // namespace Platform
