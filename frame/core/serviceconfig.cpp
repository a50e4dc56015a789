#include "serviceconfig.h"

#include <QSettings>

ServiceConfig ServiceConfig::load(const QString &dir)
{
    QSettings ini(dir + QStringLiteral("/service.ini"), QSettings::IniFormat);
    ServiceConfig config;
    config.surveyBase = ini.value(QStringLiteral("server/bs")).toString();
    config.updatePrimary =
        ini.value(QStringLiteral("update/primary"), QStringLiteral("http://127.0.0.1")).toString();
    config.updateAlternate =
        ini.value(QStringLiteral("update/alternate"), config.updatePrimary).toString();
    bool ok = false;
    const int stall = ini.value(QStringLiteral("update/stallTimeout")).toInt(&ok);
    if (ok && stall > 0)
        config.stallTimeoutSeconds = stall;
    config.channelHost =
        ini.value(QStringLiteral("channel/host"), QStringLiteral("http://127.0.0.1")).toString();
    config.productUrl =
        ini.value(QStringLiteral("product/url"), QStringLiteral("http://127.0.0.1/")).toString();
    return config;
}
