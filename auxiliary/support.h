// Support actions: the maker's web pages, opened in the background, and the support e-mail.
#pragma once
#include <cstdint>
#include <future>
#include <string>
#include <string_view>

namespace mivo {

// The maker's pages are served over https only: they are where users download updates.
inline constexpr char kMakerHost[] = "www.korvex.example";
inline constexpr char kProductPageUrl[] = "https://www.korvex.example/Support/Gaming-Mice/KORVEX-Mivo/";
inline constexpr char kSupportPageUrl[] = "https://www.korvex.example/Support/";
inline constexpr char kSupportFormUrl[] = "https://www.korvex.example/Support/Support/Support-Form/";
inline constexpr char kSupportMailAddress[] = "support@korvex.example";

// Caption of the message box the mail action can show.
inline constexpr char kApplicationName[] = "mivo-config";

// Opens `url` in the user's browser from a new short-lived thread that owns its own copy of the
// text, and returns at once. The returned future becomes ready when that thread has ended (at
// once when no thread was started); callers that do not wait may drop it. The shell service in
// use at the call must outlive the thread.
std::future<void> OpenUrl(std::string_view url);

// The status SendSupportMail gives when there is no shell service to reach a mail client through
// (the system's general failure code).
inline constexpr uint32_t kNoShellStatus = 0x80004005;

// Prepares (does not send) a new mail to `address` with empty subject and body in the user's mail
// client, on the calling thread. On failure a message box tells the status code. Returns the
// status: 0 when the mail was shown.
uint32_t SendSupportMail(std::string_view address);

// "CreateDispatch() failed w/error 0x" followed by the status in eight lower-case hex digits.
std::string DispatchErrorText(uint32_t status);

}  // namespace mivo
