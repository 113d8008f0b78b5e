#pragma once

// The program: its entry, the start-up of the backdrop and main windows, the window events of the
// application shell, and the wiring of every feature's handlers to the templates.

#include <functional>
#include <memory>

#include "app/deployment.h"
#include "app/program_values.h"
#include "runtime/ui_service.h"

namespace yz {

class Features;

class Program {
  public:
    Program(UiService& ui, Deployment deployment);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Binds every handler, loads the backdrop window (whose creation loads the main window) and
    // runs the event loop; the exit code.
    int Run();

    // Binds every handler and loads the windows without running the event loop (the headless
    // desktop's tests drive the events themselves). False when the program ended during start-up.
    bool Start();

    // For tests: whether the public web portal answers, asked before each chat message.
    void ReplacePortalProbeForTesting(std::function<bool()> probe);

    const ProgramValues& values() const { return values_; }
    ProgramValues& values() { return values_; }
    const Deployment& deployment() const { return deployment_; }

  private:
    void BindShell();
    void OnBackdropCreated();
    void OnMainCreated();
    void OnMainMoved();
    void OnCloseLabel();
    void ToggleAuthorList();
    void RunHotkeyCommand(HotkeyCommand command);

    UiService& ui_;
    Deployment deployment_;
    ProgramValues values_;
    bool refused_ = false;
    std::unique_ptr<Features> features_;
};

}  // namespace yz
