#include "console.h"

namespace Platform {

QByteArray consoleBytes(const QString &text)
{
    return text.toLocal8Bit();
}

} // namespace Platform
