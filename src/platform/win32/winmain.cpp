// Program entry of moxia.exe: hands the real Windows facilities to the program.
#include <windows.h>

#include "platform/win32/files_win32.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_internet.h"
#include "platform/win32/win32_shell.h"
#include "program/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    platform::Win32Files files;
    platform::Win32Desktop desktop;
    files.duringLongWork = [&desktop] { desktop.PaintWhileBusy(); };
    platform::Win32Shell shell;
    platform::Win32Clock clock;
    platform::Win32Internet internet;
    platform::SeededRandom random;
    platform::Platform facilities{files, desktop, shell, clock, internet, random};
    return program::RunProgram(facilities);
}
