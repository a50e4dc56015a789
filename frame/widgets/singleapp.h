#pragma once

#include <QApplication>

class QLocalServer;
class QLocalSocket;

// Only one program of the family runs at a time: the installer, the updater and the uninstaller
// share one local-socket name.
class SingleApp : public QApplication
{
    Q_OBJECT
public:
    SingleApp(int &argc, char **argv);

    bool exist();

signals:
    void showUp();

private:
    QLocalSocket *socket = nullptr;
    QLocalServer *server = nullptr;
};
