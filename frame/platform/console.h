#pragma once

#include <QByteArray>
#include <QString>

namespace Platform {

// Text as the console that runs us shows it (UTF-8 on Linux whatever the locale; the ANSI code
// page on Windows).
QByteArray consoleBytes(const QString &text);

} // namespace Platform
