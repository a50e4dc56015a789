#pragma once

// Free of Qt and of Win32, so that it is tested everywhere.
#include <string>

namespace Win32 {

// True when the table tasklist prints lists a process whose image name equals imageName exactly
// (case-sensitive). The image name column is as wide as the first run of "=" in the rule line;
// names may hold blanks.
bool tasklistHasImage(const std::string &output, const std::string &imageName);

} // namespace Win32
