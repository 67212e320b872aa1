// Windows HID bus: SetupAPI enumeration, CreateFileW, HidD_* feature reports, device broadcasts.
#include "platform/win32/win32_hid.h"

// clang-format off
#include <windows.h>
#include <dbt.h>
// mingw's hidsdi.h declares the functions without C linkage.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>
// clang-format on

#include <cstddef>

#include "platform/platform.h"
#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

namespace {

GUID HidClass() {
    GUID guid;
    HidD_GetHidGuid(&guid);
    return guid;
}

class Win32HidDevice final : public HidDevice {
public:
    explicit Win32HidDevice(HANDLE handle) : handle_(handle) {}
    ~Win32HidDevice() override { CloseHandle(handle_); }
    Win32HidDevice(const Win32HidDevice&) = delete;
    Win32HidDevice& operator=(const Win32HidDevice&) = delete;

    bool GetAttributes(HidAttributes& out) override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(handle_, &attributes)) return false;
        out.vendor_id = attributes.VendorID;
        out.product_id = attributes.ProductID;
        out.version = attributes.VersionNumber;
        return true;
    }
    bool SetFeature(const FeatureReport& report) override {
        FeatureReport copy = report;  // the call takes a non-const buffer
        return HidD_SetFeature(handle_, copy.data(), static_cast<ULONG>(copy.size())) != FALSE;
    }
    bool GetFeature(FeatureReport& report) override {
        return HidD_GetFeature(handle_, report.data(), static_cast<ULONG>(report.size())) != FALSE;
    }

private:
    HANDLE handle_;
};

constexpr wchar_t kNotifyClass[] = L"MivoHidBroadcasts";

}  // namespace

DeviceBroadcast DecodeDeviceBroadcast(uintptr_t wparam, intptr_t lparam) {
    DeviceBroadcast out;
    out.event = static_cast<uint32_t>(wparam);
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
    if ((wparam != DBT_DEVICEARRIVAL && wparam != DBT_DEVICEREMOVECOMPLETE) || !header) return out;
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return out;
    out.is_interface = true;
    const auto* iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const size_t name_offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size <= name_offset) return out;
    const size_t max_chars = (header->dbch_size - name_offset) / sizeof(wchar_t);
    size_t n = 0;
    while (n < max_chars && iface->dbcc_name[n] != L'\0') ++n;
    out.name = Narrow(std::wstring_view(iface->dbcc_name, n));
    return out;
}

void* RegisterHidBroadcasts(void* window) {
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = HidClass();
    return RegisterDeviceNotificationW(static_cast<HWND>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

struct Win32HidBus::Notifier {
    HWND window = nullptr;
    HDEVNOTIFY registration = nullptr;
    std::function<void(const DeviceBroadcast&)> handler;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
        if (msg == WM_DEVICECHANGE) {
            auto* self = reinterpret_cast<Notifier*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            if (self && self->handler) self->handler(DecodeDeviceBroadcast(wparam, lparam));
            return TRUE;
        }
        return DefWindowProcW(hwnd, msg, wparam, lparam);
    }

    ~Notifier() {
        if (registration) UnregisterDeviceNotification(registration);
        if (window) DestroyWindow(window);
    }
};

Win32HidBus::Win32HidBus() = default;
Win32HidBus::~Win32HidBus() = default;

std::vector<std::string> Win32HidBus::Enumerate() {
    std::vector<std::string> paths;
    GUID hid = HidClass();
    HDEVINFO list = SetupDiGetClassDevsW(&hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list == INVALID_HANDLE_VALUE) {
        Report("hid.enumerate_failed", std::to_string(GetLastError()));
        return paths;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        if (!SetupDiEnumDeviceInterfaces(list, nullptr, &hid, index, &data)) break;
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(list, &data, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        // The detail record is variable-sized; an aligned buffer of DWORDs holds it.
        std::vector<DWORD> buffer((required + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(list, &data, detail, required, nullptr, nullptr)) continue;
        paths.push_back(Narrow(detail->DevicePath));
    }
    SetupDiDestroyDeviceInfoList(list);
    return paths;
}

std::unique_ptr<HidDevice> Win32HidBus::Open(const std::string& path) {
    HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32HidDevice>(handle);
}

bool Win32HidBus::RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) {
    if (notifier_) {
        notifier_->handler = std::move(handler);
        return notifier_->registration != nullptr;
    }
    auto notifier = std::make_unique<Notifier>();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Notifier::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kNotifyClass;
    RegisterClassExW(&wc);  // fails harmlessly when the class exists already
    notifier->window = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleW(nullptr), nullptr);
    if (!notifier->window) return false;
    SetWindowLongPtrW(notifier->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(notifier.get()));
    notifier->registration = static_cast<HDEVNOTIFY>(RegisterHidBroadcasts(notifier->window));
    if (!notifier->registration) return false;
    notifier->handler = std::move(handler);
    notifier_ = std::move(notifier);
    return true;
}

}  // namespace mivo::platform::win32
