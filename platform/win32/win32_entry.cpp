// Program arguments from the wide command line.
#include "platform/win32/win32_entry.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_text.h"

namespace mivo::platform::win32 {

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return args;
    for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return args;
}

}  // namespace mivo::platform::win32
