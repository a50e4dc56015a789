#include "reg64.h"

#include <windows.h>

namespace Win32 {

std::wstring readHklm64(const std::wstring &subKey, const std::wstring &valueName, long *closeResult)
{
    HKEY key = nullptr;
    // 3ds Max is a 64-bit program; a 32-bit caller would otherwise see only WOW6432Node.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key)
        != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buffer[512];
    DWORD size = sizeof(buffer);
    const LONG queried = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr,
                                          reinterpret_cast<LPBYTE>(buffer), &size);
    const LONG closed = RegCloseKey(key);
    if (closeResult)
        *closeResult = closed;
    if (queried != ERROR_SUCCESS)
        return std::wstring();
    std::wstring text(buffer, size / sizeof(wchar_t));
    const std::wstring::size_type nul = text.find(L'\0');
    if (nul != std::wstring::npos)
        text.resize(nul);
    return text;
}

} // namespace Win32
