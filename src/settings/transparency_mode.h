#pragma once

// The transparency mode: a slider over the editor that sets the backdrop window's alpha, which
// shows through the colour-keyed white of the main window, storing every position at once.

#include <functional>

#include "runtime/ui_service.h"

namespace yz {

// 100 - trunc(p * 100 / 255), in floating point: 77 for 60, 100 for 1, 0 for 255, -17 for 300.
int TransparencyPercentage(std::int64_t position);

// Gives the backdrop the slider's position as its alpha.
void ApplySliderAlpha(UiService& ui);

class TransparencyMode {
  public:
    TransparencyMode(UiService& ui, std::function<void()> return_operation);

    // "背景透明 Alt+T": opens the mode, or closes it when it is open.
    void Toggle();
    // Every position the slider takes: the backdrop alpha, the status line and the stored value.
    void OnSliderMoved();
    // The mouse released over the slider ends the mode; keys leave it open.
    void OnSliderReleased();

  private:
    UiService& ui_;
    std::function<void()> return_operation_;
};

}  // namespace yz
