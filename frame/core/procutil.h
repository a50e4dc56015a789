#pragma once

#include <QString>

namespace ProcUtil {

// ".exe" is appended when the name lacks that (lower-case) suffix; the match is case-sensitive.
bool existProcess(QString name);
void killProcess(const QString &name);

} // namespace ProcUtil
