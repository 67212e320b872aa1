// UTF-8 <-> UTF-16 at the boundary of every wide Windows call, and COM set-up per call site.
#pragma once
#include <string>
#include <string_view>

namespace mivo::platform::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// Initialises COM on the calling thread for the object's lifetime (single-threaded apartment);
// a thread that already has COM in another mode keeps it.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool uninit_ = false;
};

}  // namespace mivo::platform::win32
