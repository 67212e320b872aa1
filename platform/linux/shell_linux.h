// Linux shell: web pages and new mails handed to the desktop's opener, xdg-open.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell.h"

namespace mivo::platform::linux_backend {

class LinuxShell final : public Shell {
public:
    // `opener` is the program run with the address as its one argument (found on PATH).
    explicit LinuxShell(std::string opener = "xdg-open") : opener_(std::move(opener)) {}
    // True when the opener ran and exited with status 0.
    bool OpenUrl(const std::string& url) override;
    // Opens MailtoUrl(to, subject, body). 0 on success; else the errno of a failed start, or the
    // opener's exit status (128 + the signal when a signal ended it).
    uint32_t ComposeMail(const std::string& to, const std::string& subject, const std::string& body) override;

private:
    std::string opener_;
};

// Percent-encodes every byte but the unreserved ones (letters, digits, - . _ ~) and those in
// `keep`, with upper-case hex digits, as a mailto address or header value needs.
std::string PercentEncode(std::string_view text, std::string_view keep = {});

// "mailto:" with the address, then subject and body as header fields when they are not empty.
// Line breaks in the body (LF or CRLF) become %0D%0A, as mail lines are.
std::string MailtoUrl(std::string_view to, std::string_view subject, std::string_view body);

// Runs `argv` (argv[0] found on PATH, no shell) and waits for it: 0 when it exited with 0, the
// errno when it could not start, else its exit status (128 + signal number when killed).
int RunProgram(const std::vector<std::string>& argv);

}  // namespace mivo::platform::linux_backend
