#include "xfunc.h"

#include "fileops.h"
#include "platform/registry.h"
#include "platform/sysinfo.h"

#include <QJsonDocument>
#include <QNetworkInterface>

XFunc::XFunc(QObject *parent)
    : QObject(parent)
{
}

QJsonObject XFunc::stringToJson(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

QString XFunc::jsonToString(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void XFunc::delDir(const QString &path)
{
    FileOps::remove(path, FileOps::Quiet);
}

QVariant XFunc::regValue(const QString &path, const QString &name)
{
    auto key = Platform::openRegistryKey(QStringLiteral("HKEY_CURRENT_USER\\") + path);
    return key->value(name);
}

QString XFunc::pickMacAddress(const QList<QPair<QString, QString>> &interfaces)
{
    static const char *const skipped[] = {"VMware", "Tunnel", "Tunneling", "Loopback", "Pseudo", "isatap"};
    QString result;
    for (const auto &nic : interfaces) {
        bool skip = false;
        for (const char *word : skipped)
            skip = skip || nic.first.contains(QLatin1String(word), Qt::CaseInsensitive);
        if (skip)
            continue;
        const QString address = nic.second.toUpper();
        if (address.size() == 17)
            result = address;
    }
    return result;
}

QString XFunc::macAddress()
{
    QList<QPair<QString, QString>> interfaces;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &nic : all)
        interfaces.append({nic.humanReadableName(), nic.hardwareAddress()});
    return pickMacAddress(interfaces);
}

bool XFunc::machineInfo(MachineInfo &info)
{
    return Platform::processorText(info.cpu);
}

QString XFunc::urlEncode(const QString &text)
{
    QString encoded = text;
    encoded.replace(QLatin1String(":"), QLatin1String("%3A"));
    encoded.replace(QLatin1String("/"), QLatin1String("%2F"));
    encoded.replace(QLatin1String("?"), QLatin1String("%3F"));
    encoded.replace(QLatin1String("&"), QLatin1String("%26"));
    encoded.replace(QLatin1String("="), QLatin1String("%3D"));
    return encoded;
}
