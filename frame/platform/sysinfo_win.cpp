#include "sysinfo.h"

#include "win32/wmicpu.h"

namespace Platform {

bool processorText(QString &text)
{
    std::wstring processor = text.toStdWString();
    const bool ok = Win32::queryProcessorText(processor);
    text = QString::fromStdWString(processor);
    return ok;
}

QString singleInstanceName()
{
    return QStringLiteral("zamotelle_install");
}

} // namespace Platform
