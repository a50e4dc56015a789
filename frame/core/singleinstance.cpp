#include "singleinstance.h"

#include "platform/sysinfo.h"

#include <QDebug>
#include <QLocalServer>
#include <QLocalSocket>

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
}

bool SingleInstance::exist()
{
    const QString name = Platform::singleInstanceName();
    socket = new QLocalSocket(this);
    socket->connectToServer(name, QIODevice::ReadWrite);
    if (socket->waitForConnected(1000)) {
        qDebug() << "server exist";
        return true;
    }
    server = new QLocalServer(this);
    // A crashed first instance leaves its name behind.
    QLocalServer::removeServer(name);
    server->listen(name);
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::showUp);
    return false;
}
