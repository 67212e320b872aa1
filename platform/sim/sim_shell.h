// Simulated shell: remembers and logs the web pages opened and the mails prepared.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/diagnostics.h"
#include "platform/shell.h"

namespace mivo::platform::sim {

class SimDesktop;

// Logs "url.open <url>" and "mail.compose <to>" (or "mail.failed <to> <code>").
//
// OpenUrl is called from worker threads while the UI thread keeps logging, and the event log is
// not thread-safe. With a desktop, the line is therefore handed to the UI thread (written at the
// desktop's next Pump, with the virtual time of that moment); without one, the shell only
// serialises its own lines, which is enough when no other thread logs at the same time.
class SimShell final : public Shell {
public:
    // The status a missing mail client gives: an invalid class string.
    static constexpr uint32_t kNoMailClient = 0x800401F3;

    explicit SimShell(Diagnostics& log, SimDesktop* ui_thread = nullptr) : log_(log), ui_(ui_thread) {}

    bool OpenUrl(const std::string& url) override;
    uint32_t ComposeMail(const std::string& to, const std::string& subject, const std::string& body) override;

    // A headless machine has no mail client; this installs a simulated one.
    void SetMailClient(bool present) { mail_client_ = present; }

    struct Mail {
        std::string to, subject, body;
    };
    // Every page asked for so far, in call order (thread-safe).
    std::vector<std::string> Urls() const;
    const std::vector<Mail>& Mails() const { return mails_; }

private:
    Diagnostics& log_;
    SimDesktop* ui_;
    bool mail_client_ = false;
    mutable std::mutex mutex_;
    std::vector<std::string> urls_;
    std::vector<Mail> mails_;
};

}  // namespace mivo::platform::sim
