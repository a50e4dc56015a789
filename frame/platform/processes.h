#pragma once

#include <QString>

namespace Platform {

// True when at least one process with exactly this image name runs (case-sensitive).
bool isProcessRunning(const QString &imageName);

// Ends every process with this image name by force; waits at most 30 s.
void killProcesses(const QString &imageName);

} // namespace Platform
