// Windows shell: web pages through ShellExecuteW, mail through the mail client's automation.
#pragma once
#include "platform/shell.h"

namespace mivo::platform::win32 {

class Win32Shell final : public Shell {
public:
    bool OpenUrl(const std::string& url) override;
    // Automates the ProgID "Outlook.Application"; the HRESULT of the first failing step, else 0.
    uint32_t ComposeMail(const std::string& to, const std::string& subject, const std::string& body) override;
};

}  // namespace mivo::platform::win32
