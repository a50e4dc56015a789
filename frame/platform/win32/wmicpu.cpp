#include "wmicpu.h"

#include <windows.h>
#include <objbase.h>
#include <wbemidl.h>

namespace Win32 {

namespace {

template <typename T>
void release(T *&p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

bool queryProcessorText(std::wstring &text)
{
    if (FAILED(CoInitialize(nullptr)))
        return false;
    HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    // Security set up earlier in this process is fine.
    if (FAILED(hr) && hr != RPC_E_TOO_LATE) {
        CoUninitialize();
        return false;
    }
    IWbemLocator *locator = nullptr;
    IWbemServices *services = nullptr;
    IEnumWbemClassObject *rows = nullptr;
    bool ok = false;
    hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                          reinterpret_cast<void **>(&locator));
    if (SUCCEEDED(hr)) {
        BSTR ns = SysAllocString(L"ROOT\\CIMV2");
        hr = locator->ConnectServer(ns, nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services);
        SysFreeString(ns);
    }
    if (SUCCEEDED(hr))
        hr = CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                               RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                               EOAC_NONE);
    if (SUCCEEDED(hr)) {
        BSTR language = SysAllocString(L"WQL");
        BSTR query = SysAllocString(L"SELECT * FROM Win32_Processor");
        hr = services->ExecQuery(language, query,
                                 WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                 &rows);
        SysFreeString(language);
        SysFreeString(query);
    }
    if (SUCCEEDED(hr)) {
        for (;;) {
            IWbemClassObject *row = nullptr;
            ULONG returned = 0;
            if (FAILED(rows->Next(WBEM_INFINITE, 1, &row, &returned)) || returned == 0)
                break;
            VARIANT name;
            VARIANT cores;
            VariantInit(&name);
            VariantInit(&cores);
            std::wstring processor;
            if (SUCCEEDED(row->Get(L"Name", 0, &name, nullptr, nullptr)) && name.vt == VT_BSTR)
                processor = name.bstrVal;
            unsigned long count = 0;
            if (SUCCEEDED(row->Get(L"NumberOfCores", 0, &cores, nullptr, nullptr))) {
                if (cores.vt == VT_I4)
                    count = static_cast<unsigned long>(cores.lVal);
                else if (cores.vt == VT_UI4)
                    count = cores.ulVal;
            }
            text = L"[" + std::to_wstring(count) + L"]" + processor;
            VariantClear(&name);
            VariantClear(&cores);
            row->Release();
        }
        ok = true;
    }
    release(rows);
    release(services);
    release(locator);
    CoUninitialize();
    return ok;
}

} // namespace Win32
