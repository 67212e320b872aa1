// Linux shell: xdg-open started with posix_spawnp (arguments as argv, no shell) and reaped.
#include "platform/linux/shell_linux.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "platform/platform.h"

extern char** environ;

namespace mivo::platform::linux_backend {

std::string PercentEncode(std::string_view text, std::string_view keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                                byte == '~';
        if (unreserved || (byte != 0 && keep.find(c) != std::string_view::npos)) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string MailtoUrl(std::string_view to, std::string_view subject, std::string_view body) {
    // CRLF and lone LF alike become one CRLF; a lone CR is kept as it is (encoded).
    std::string lines;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
        if (body[i] == '\n') {
            lines += "\r\n";
        } else {
            lines += body[i];
        }
    }
    std::string url = "mailto:" + PercentEncode(to, "@");
    char separator = '?';
    if (!subject.empty()) {
        url += separator;
        url += "subject=" + PercentEncode(subject);
        separator = '&';
    }
    if (!lines.empty()) {
        url += separator;
        url += "body=" + PercentEncode(lines);
    }
    return url;
}

int RunProgram(const std::vector<std::string>& argv) {
    if (argv.empty()) return EINVAL;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ);
    if (error != 0) {
        Report("shell.spawn", argv[0] + " " + std::to_string(error));
        return error;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            Report("shell.wait", argv[0] + " " + std::to_string(errno));
            return errno;
        }
    }
    int result = 0;
    if (WIFEXITED(status)) {
        result = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result = 128 + WTERMSIG(status);
    }
    if (result != 0) Report("shell.exit", argv[0] + " " + std::to_string(result));
    return result;
}

bool LinuxShell::OpenUrl(const std::string& url) {
    // An address is never an option of the opener.
    if (url.empty() || url.front() == '-') {
        Report("shell.refused", url);
        return false;
    }
    return RunProgram({opener_, url}) == 0;
}

uint32_t LinuxShell::ComposeMail(const std::string& to, const std::string& subject, const std::string& body) {
    return static_cast<uint32_t>(RunProgram({opener_, MailtoUrl(to, subject, body)}));
}

}  // namespace mivo::platform::linux_backend
