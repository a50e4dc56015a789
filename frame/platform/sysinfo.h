#pragma once

#include <QString>

namespace Platform {

// "[" + cores + "]" + processor name, or empty text with false when the query failed.
bool processorText(QString &text);

// Local-socket name of the single-instance guard.
QString singleInstanceName();

} // namespace Platform
