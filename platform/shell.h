// Shell service: opening web pages and preparing e-mail in the user's mail client.
#pragma once
#include <cstdint>
#include <string>

namespace mivo::platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens `url` (UTF-8) in the user's browser. May block; the core calls it from a worker thread.
    virtual bool OpenUrl(const std::string& url) = 0;
    // Shows a new mail to `to` with the given subject and body in the user's mail client, without
    // sending it. Returns 0 on success, else the status code of the failed step (the system's
    // 32-bit error code, e.g. an invalid class string when no client is registered).
    virtual uint32_t ComposeMail(const std::string& to, const std::string& subject, const std::string& body) = 0;
};

}  // namespace mivo::platform
