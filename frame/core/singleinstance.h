#pragma once

#include <QObject>

class QLocalServer;
class QLocalSocket;

// Only one program of the family runs at a time: the installer, the updater and the uninstaller
// share one local-socket name. Needs an application object, not a window system.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject *parent = nullptr);

    // True when another program of the family holds the name; otherwise this one takes it.
    bool exist();

signals:
    // A later program of the family tried to start.
    void showUp();

private:
    QLocalSocket *socket = nullptr;
    QLocalServer *server = nullptr;
};
