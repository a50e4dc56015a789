#pragma once

#include <QString>

class SingleApp;
class SingleInstance;

// The start every program of the family shares.
namespace AppStart {

// Before the application object exists: logging, unattended mode (which needs no display).
void prepare(int argc, char **argv, const QString &program);

// True when another program of the family runs; the caller then ends with the returned code.
bool anotherRuns(SingleInstance &instance, int &exitCode);
bool anotherRuns(SingleApp &app, int &exitCode);

// Application font.
void setFont();

} // namespace AppStart
