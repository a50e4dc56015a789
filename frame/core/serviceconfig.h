#pragma once

#include <QString>

// Product configuration from service.ini beside the program, with built-in loopback defaults.
struct ServiceConfig
{
    QString surveyBase;      // [server] bs
    QString updatePrimary;   // [update] primary
    QString updateAlternate; // [update] alternate
    int stallTimeoutSeconds = 30; // [update] stallTimeout
    QString channelHost;     // [channel] host
    QString productUrl;      // [product] url

    static ServiceConfig load(const QString &dir);
};
