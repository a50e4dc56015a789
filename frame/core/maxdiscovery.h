#pragma once

#include <QString>
#include <QStringList>

// Where the installed 3ds Max releases keep their start-up scripts.
namespace MaxDiscovery {

QString readReg(const QString &path, const QString &name);
QString maxInstallDir(int kind, const QString &releaseKey);
QStringList allMaxPath();

} // namespace MaxDiscovery
