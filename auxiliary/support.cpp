// Support actions.
#include "auxiliary/support.h"

#include <cstdio>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/desktop.h"
#include "platform/platform.h"
#include "platform/shell.h"

namespace mivo {

std::future<void> OpenUrl(std::string_view url) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    // The shell is looked up here: the service set is the UI thread's, and the page thread
    // touches nothing but the shell and its own text.
    platform::Shell* shell = platform::Current().shell;
    if (!shell) {
        platform::Report("shell.unavailable", url);
        done.set_value();
        return finished;
    }
    try {
        std::thread([shell, text = std::string(url), done = std::move(done)]() mutable {
            shell->OpenUrl(text);  // a page that cannot be opened goes unnoticed
            done.set_value_at_thread_exit();
        }).detach();
    } catch (const std::system_error& e) {
        // The promise went with the lambda that could not start; the future reports it as broken.
        platform::Report("url.thread_failed", std::string(url) + " " + e.what());
    }
    return finished;
}

std::string DispatchErrorText(uint32_t status) {
    char text[64];
    std::snprintf(text, sizeof text, "CreateDispatch() failed w/error 0x%08lx", static_cast<unsigned long>(status));
    return text;
}

uint32_t SendSupportMail(std::string_view address) {
    platform::Shell* shell = platform::Current().shell;
    uint32_t status = kNoShellStatus;
    if (shell) {
        status = shell->ComposeMail(std::string(address), "", "");
    } else {
        platform::Report("shell.unavailable", address);
    }
    if (status == 0) return 0;
    const std::string text = DispatchErrorText(status);
    if (platform::Desktop* desktop = platform::Current().desktop) {
        desktop->MessageBox(text, kApplicationName);
    } else {
        platform::Report("desktop.unavailable", text);
    }
    return status;
}

}  // namespace mivo
