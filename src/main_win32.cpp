// The Windows program's entry: the real desktop under the program.

// First, so that the Windows headers' MessageBox and file-attribute macros are undone before the
// service declarations are seen.
#include "runtime/win32/win32_desktop.h"

#include "app/deployment.h"
#include "app/program.h"
#include "runtime/files.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    yz::Win32Desktop desktop;
    yz::Program program(desktop, yz::LoadDeployment(yz::ProgramDirectory()));
    return program.Run();
}
