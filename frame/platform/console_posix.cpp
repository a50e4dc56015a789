#include "console.h"

namespace Platform {

QByteArray consoleBytes(const QString &text)
{
    return text.toUtf8();
}

} // namespace Platform
