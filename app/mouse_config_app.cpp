// Start-up of the program: hand-shake with a running copy, single-copy lock, languages, main window.
#include "app/mouse_config_app.h"

#include "app/mouse_config_dlg.h"
#include "platform/desktop.h"
#include "platform/platform.h"
#include "resources/language.h"
#include "resources/paths.h"

namespace mivo {

int CMouseConfigApp::Run(const std::string& command_line) {
    platform::Desktop* desktop = platform::Current().desktop;
    if (!desktop) {
        platform::Report("desktop.unavailable");
        return 1;
    }
    // Ask a running copy to show itself; whether this copy goes on is decided by the lock.
    desktop->PostToWindowOfClass(kMainWindowClass, WM_SHOW_MAIN);
    if (desktop->CreateNamedLock(kSingleCopyLock) == platform::LockResult::AlreadyExists) return 0;

    const std::filesystem::path ini = GetModuleDir() / "Language.ini";
    MakeDirs(ini);
    SetLanguageIniPath(ini);
    InitLanguage();

    CMouseConfigDlg dlg(command_line);
    dlg.DoModal();
    return 0;
}

}  // namespace mivo
