// The Windows program's entry: the real desktop under the program.

// First, so that the Windows headers' MessageBox and file-attribute macros are undone before the
// service declarations are seen.
#include "runtime/win32/win32_desktop.h"

#include <exception>

#include "app/deployment.h"
#include "app/program.h"
#include "runtime/fatal_error.h"
#include "runtime/files.h"

namespace {

yz::UiService* running_desktop = nullptr;

// An exception that escaped outside every event handler (from a window procedure's own code, or
// through a noexcept function) gets the same last resort as one from a handler.
[[noreturn]] void OnTerminate() {
    if (running_desktop != nullptr && std::current_exception()) {
        try {
            std::rethrow_exception(std::current_exception());
        } catch (...) {
            yz::ReportFatalException(*running_desktop);
        }
    }
    ExitProcess(static_cast<UINT>(-1));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    yz::Win32Desktop desktop;
    running_desktop = &desktop;
    std::set_terminate(OnTerminate);
    yz::Program program(desktop, yz::LoadDeployment(yz::ProgramDirectory()));
    return program.Run();
}
