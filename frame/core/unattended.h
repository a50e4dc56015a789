#pragma once

#include <QString>
#include <QStringList>

// Scripted runs without a window: same steps, answers preset, messages on stderr.
namespace Unattended {

enum ExitCode { Done = 0, Refused = 1, Failed = 2 };

bool isOn();
void setOn(bool on);

// True when the arguments carry the flag; "--silent" turns unattended mode on.
bool hasFlag(const QStringList &arguments, const QString &flag);
// The argument following the option, or empty text.
QString optionValue(const QStringList &arguments, const QString &option);

// Prints a message that a windowed run would show.
void tell(const QString &message);

} // namespace Unattended
