// The Windows program's entry: the real desktop under the program.

#include <windows.h>

#include "app/deployment.h"
#include "app/program.h"
#include "runtime/files.h"
#include "runtime/win32/win32_desktop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    yz::Win32Desktop desktop;
    yz::Program program(desktop, yz::LoadDeployment(yz::ProgramDirectory()));
    return program.Run();
}
