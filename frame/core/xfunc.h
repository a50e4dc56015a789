#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>

// What the installer reports about the machine.
struct MachineInfo
{
    QString cpu;
};

class XFunc : public QObject
{
    Q_OBJECT
public:
    explicit XFunc(QObject *parent = nullptr);

    static QJsonObject stringToJson(const QString &text);
    static QString jsonToString(const QJsonObject &object);

    static void delDir(const QString &path);

    static QVariant regValue(const QString &path, const QString &name);
    static QString macAddress();
    // The choice macAddress makes among (human-readable name, hardware address) pairs.
    static QString pickMacAddress(const QList<QPair<QString, QString>> &interfaces);
    static bool machineInfo(MachineInfo &info);
    static QString urlEncode(const QString &text);
};
