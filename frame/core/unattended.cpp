#include "unattended.h"

#include "platform/console.h"

#include <cstdio>

namespace Unattended {

namespace {
bool unattended = false;
}

bool isOn()
{
    return unattended;
}

void setOn(bool on)
{
    unattended = on;
}

bool hasFlag(const QStringList &arguments, const QString &flag)
{
    return arguments.mid(1).contains(flag);
}

QString optionValue(const QStringList &arguments, const QString &option)
{
    const int at = arguments.indexOf(option, 1);
    return at > 0 && at + 1 < arguments.size() ? arguments.at(at + 1) : QString();
}

void tell(const QString &message)
{
    std::fprintf(stderr, "%s\n", Platform::consoleBytes(message).constData());
    std::fflush(stderr);
}

} // namespace Unattended
