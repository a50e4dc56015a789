#pragma once

#include <QString>

// Diagnostics of one program go to "<temp>/vantrix-<program>.log", appended per run; never shown.
void installLogHandler(const QString &program);
QString logFilePath(const QString &program);
