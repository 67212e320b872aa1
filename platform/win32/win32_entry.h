// What a Windows program needs at its entry: its arguments in UTF-8, and every Windows service
// in one object whose view a program installs with ScopedServices.
#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_basic.h"
#include "platform/win32/win32_codec.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_hid.h"
#include "platform/win32/win32_pointer.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_sound.h"

namespace mivo::platform::win32 {

// The program's arguments without the program name, from the wide command line (main's argv
// is in the ANSI code page and loses characters outside it).
std::vector<std::string> CommandLineArguments();

// Every Windows backend service; diagnostics stay null (real backends drop them) unless set.
struct Win32Platform {
    Win32Clock clock;
    Win32HidBus hid;
    Win32PointerSettings pointer;
    Win32Paths paths;
    Win32Locale locale;
    Win32ImageCodec codec;
    Win32FontService fonts;
    Win32SoundService sound;
    Win32Desktop desktop;
    Win32Shell shell;

    Services services() {
        Services s;
        s.clock = &clock;
        s.hid = &hid;
        s.pointer = &pointer;
        s.paths = &paths;
        s.locale = &locale;
        s.codec = &codec;
        s.fonts = &fonts;
        s.sound = &sound;
        s.desktop = &desktop;
        s.shell = &shell;
        return s;
    }
};

}  // namespace mivo::platform::win32
