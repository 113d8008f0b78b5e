#pragma once

// Rescue of the writer's text when the editor is about to lose it: a new GBK .txt file in the
// folder 砚舟文匣备份 beside the program, one per rescue (runtime/rescue_files.h), which Open reads
// like any document.

#include <optional>

#include "runtime/rescue_files.h"
#include "runtime/ui_service.h"

namespace yz {

Text RescueFolderPath();

class TextRescue {
  public:
    explicit TextRescue(UiService& ui);

    // Before the editor text is replaced by `incoming` while no document file holds it: a text
    // that is not empty and differs from `incoming` (line breaks at the end aside) is copied into a
    // rescue file. The file's path
    // (for the status line once the text is replaced), an empty text when nothing needed a copy,
    // or nullopt when the copy failed: the writer has been told and the editor must stay as it is.
    std::optional<Text> KeepBeforeReplacing(const Text& incoming);
    // The status line naming a rescue file.
    void ShowKept(const Text& path);

    // On the way out of a fatal error: the editor text into a rescue file, allocating nothing.
    void KeepOnFatalError() noexcept;

  private:
    UiService& ui_;
    RescueFiles files_;
};

}  // namespace yz
