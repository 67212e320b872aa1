// Simulated shell.
#include "platform/sim/sim_shell.h"

#include <cstdio>

#include "platform/sim/sim_desktop.h"

namespace mivo::platform::sim {

bool SimShell::OpenUrl(const std::string& url) {
    std::lock_guard<std::mutex> lock(mutex_);
    urls_.push_back(url);
    if (ui_ != nullptr) {
        Diagnostics* log = &log_;
        ui_->PostTask([log, url] { log->Event("url.open", url); });
    } else {
        log_.Event("url.open", url);
    }
    return true;
}

uint32_t SimShell::ComposeMail(const std::string& to, const std::string& subject, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!mail_client_) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08x", static_cast<unsigned>(kNoMailClient));
        log_.Event("mail.failed", to + " " + code);
        return kNoMailClient;
    }
    mails_.push_back(Mail{to, subject, body});
    log_.Event("mail.compose", to);
    return 0;
}

std::vector<std::string> SimShell::Urls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return urls_;
}

}  // namespace mivo::platform::sim
