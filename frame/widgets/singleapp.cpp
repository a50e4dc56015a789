#include "singleapp.h"

SingleApp::SingleApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    connect(&instance, &SingleInstance::showUp, this, &SingleApp::showUp);
}
