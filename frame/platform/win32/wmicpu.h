#pragma once

// Pure Win32/COM, free of Qt, so that it is compiled and tested with mingw-w64 under wine.
#include <string>

namespace Win32 {

// "[" + NumberOfCores + "]" + Name of Win32_Processor (the last processor object wins).
// False when COM, security, the locator or the query fails; text is then left as it was.
bool queryProcessorText(std::wstring &text);

} // namespace Win32
