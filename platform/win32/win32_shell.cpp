// Windows shell: ShellExecuteW "open"; the mail item made and shown through IDispatch with the
// mail client's fixed dispatch IDs (CreateItem, To, Subject, Body, Display).
#include "platform/win32/win32_shell.h"

#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <windows.h>

#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

namespace {

constexpr DISPID kCreateItem = 0x10A;
constexpr DISPID kTo = 0xE04;
constexpr DISPID kSubject = 0x37;
constexpr DISPID kBody = 0x9100;
constexpr DISPID kDisplay = 0xF0A6;
constexpr int kMailItem = 0;

HRESULT Invoke(IDispatch* target, DISPID id, WORD flags, VARIANT* arg, VARIANT* result) {
    DISPPARAMS params{};
    DISPID put = DISPID_PROPERTYPUT;
    params.rgvarg = arg;
    params.cArgs = arg ? 1 : 0;
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

HRESULT PutString(IDispatch* target, DISPID id, const std::string& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    const std::wstring wide = Widen(text);
    v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!v.bstrVal) return E_OUTOFMEMORY;
    const HRESULT hr = Invoke(target, id, DISPATCH_PROPERTYPUT, &v, nullptr);
    VariantClear(&v);
    return hr;
}

}  // namespace

bool Win32Shell::OpenUrl(const std::string& url) {
    // The shell may hand the address to COM-based handlers: give this thread an apartment.
    ComScope com;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Widen(url).c_str(), L"", L"", SW_SHOW));
    return result > 32;
}

uint32_t Win32Shell::ComposeMail(const std::string& to, const std::string& subject, const std::string& body) {
    ComScope com;
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"Outlook.Application", &clsid);
    if (FAILED(hr)) return static_cast<uint32_t>(hr);
    IDispatch* app = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(&app));
    if (FAILED(hr)) return static_cast<uint32_t>(hr);

    VARIANT kind;
    VariantInit(&kind);
    kind.vt = VT_I4;
    kind.lVal = kMailItem;
    VARIANT item_v;
    VariantInit(&item_v);
    hr = Invoke(app, kCreateItem, DISPATCH_METHOD, &kind, &item_v);
    IDispatch* item = nullptr;
    if (SUCCEEDED(hr)) {
        if (item_v.vt == VT_DISPATCH && item_v.pdispVal) {
            item = item_v.pdispVal;
            item->AddRef();
        } else {
            hr = DISP_E_TYPEMISMATCH;
        }
    }
    VariantClear(&item_v);
    if (SUCCEEDED(hr)) hr = PutString(item, kTo, to);
    if (SUCCEEDED(hr)) hr = PutString(item, kSubject, subject);
    if (SUCCEEDED(hr)) hr = PutString(item, kBody, body);
    if (SUCCEEDED(hr)) {
        // Display's one optional argument, marked as not given: show the mail without blocking.
        VARIANT missing;
        VariantInit(&missing);
        missing.vt = VT_ERROR;
        missing.scode = DISP_E_PARAMNOTFOUND;
        hr = Invoke(item, kDisplay, DISPATCH_METHOD, &missing, nullptr);
    }
    if (item) item->Release();
    app->Release();
    return SUCCEEDED(hr) ? 0 : static_cast<uint32_t>(hr);
}

}  // namespace mivo::platform::win32
