// The Qt-free Win32 pieces on a Windows registry and WMI (wine here): the 64-bit view read of
// 3ds Max's "Installdir", its 512-code-unit limit, and the processor text.
#include "reg64.h"
#include "tasklist.h"
#include "wmicpu.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <string>

namespace {

int failures = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    if (!ok)
        ++failures;
}

const wchar_t *const kKey = L"SOFTWARE\\Autodesk\\3dsMax\\99.0";

void seed(REGSAM view, const std::wstring &name, const std::wstring &value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr)
        != ERROR_SUCCESS) {
        check(false, "create the key");
        return;
    }
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void removeKey(REGSAM view)
{
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kKey, view, 0);
}

} // namespace

int main()
{
    seed(KEY_WOW64_64KEY, L"Installdir", L"C:\\Program Files\\Autodesk\\3ds Max 2099\\");
    seed(KEY_WOW64_32KEY, L"Installdir", L"C:\\Program Files (x86)\\Autodesk\\3ds Max 2099\\");
    seed(KEY_WOW64_64KEY, L"Fits", std::wstring(511, L'a'));
    seed(KEY_WOW64_64KEY, L"TooLong", std::wstring(512, L'a'));

    long closed = -1;
    check(Win32::readHklm64(kKey, L"Installdir", &closed) == L"C:\\Program Files\\Autodesk\\3ds Max 2099\\",
          "the 64-bit view is read, not the 32-bit one");
    check(closed == ERROR_SUCCESS, "the key is closed");
    check(Win32::readHklm64(kKey, L"Fits").size() == 511, "511 code units fit");
    check(Win32::readHklm64(kKey, L"TooLong").empty(), "512 code units do not fit");
    check(Win32::readHklm64(kKey, L"Missing").empty(), "a missing value reads empty");
    check(Win32::readHklm64(L"SOFTWARE\\Autodesk\\3dsMax\\0.0", L"Installdir").empty(), "a missing key reads empty");
    removeKey(KEY_WOW64_64KEY);
    removeKey(KEY_WOW64_32KEY);

    std::wstring cpu;
    const bool ran = Win32::queryProcessorText(cpu);
    check(ran, "the processor query runs");
    const std::wstring::size_type close = cpu.find(L']');
    bool digits = cpu.size() > 2 && cpu[0] == L'[' && close != std::wstring::npos && close > 1;
    for (std::wstring::size_type i = 1; digits && i < close; ++i)
        digits = std::iswdigit(cpu[i]) != 0;
    check(digits && close + 1 < cpu.size(), "the processor text is [cores]name");
    std::printf("processor: %ls\n", cpu.c_str());

    check(Win32::tasklistHasImage("Image Name   PID\n============ ====\n3dsmax.exe   12\n", "3dsmax.exe"),
          "the tasklist table is read");

    std::printf("%d passed, %d failed\n", failures == 0 ? 9 : 9 - failures, failures);
    return failures == 0 ? 0 : 1;
}
