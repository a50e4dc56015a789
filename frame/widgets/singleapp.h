#pragma once

#include "core/singleinstance.h"

#include <QApplication>

// The application object of a program with a window; only one program of the family runs.
class SingleApp : public QApplication
{
    Q_OBJECT
public:
    SingleApp(int &argc, char **argv);

    bool exist() { return instance.exist(); }
    SingleInstance &singleInstance() { return instance; }

signals:
    void showUp();

private:
    SingleInstance instance;
};
