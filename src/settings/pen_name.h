#pragma once

// The pen name: the name a writer is known by in the showcase and in other writers' mutual-help
// records. It is typed once in the showcase panel's first box 笔名框, stored under "cnhy" by the
// first publish that passes every check, and from then on shown read-only. The program keeps a
// copy of the stored value as last read; the visit to another writer's work sends that copy.

#include <optional>

#include "runtime/ui_service.h"

namespace yz {

inline const Text kPenNamePlaceholder = "设置您的:笔名/昵称";

class PenName {
  public:
    explicit PenName(UiService& ui) : ui_(ui) {}

    // 笔名框's focus events.
    void OnGotFocus();
    void OnLostFocus();

    // Reads "cnhy" into the copy and answers it.
    const Text& Reload();
    const Text& copy() const { return copy_; }

    // A step of opening the showcase panel, after its boxes got their placeholders: reads the
    // stored pen name; when there is one, the box shows it and is disabled.
    void LoadIntoPanel();

    // The box text's refusal message (the first two checks of publishing), or nullopt.
    std::optional<Text> Check() const;

    // Writes the box text to "cnhy" when it differs from the copy read when the panel opened.
    void Store();

  private:
    UiService& ui_;
    Text copy_;
};

}  // namespace yz
