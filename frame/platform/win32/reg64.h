#pragma once

// Pure Win32, free of Qt, so that it is compiled and tested with mingw-w64 under wine.
#include <string>

namespace Win32 {

// A REG_SZ value below HKEY_LOCAL_MACHINE in the 64-bit registry view. Empty when the key cannot
// be opened or the value does not fit a 1024-byte buffer (512 UTF-16 code units).
// closeResult, when given, receives RegCloseKey's return code (the caller logs it).
std::wstring readHklm64(const std::wstring &subKey, const std::wstring &valueName,
                        long *closeResult = nullptr);

} // namespace Win32
