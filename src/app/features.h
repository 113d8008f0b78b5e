#pragma once

// Every feature's state and handlers, owned by the program and wired to the templates by it.

#include "document/auto_save.h"
#include "document/document_editor.h"
#include "document/document_files.h"
#include "document/document_state.h"

namespace yz {

class Features {
  public:
    explicit Features(UiService& ui)
        : auto_save(ui, document),
          editor(ui, document, [this] { auto_save.SaveParagraph(); }),
          files(ui, document, auto_save) {}

    DocumentState document;
    AutoSave auto_save;
    DocumentEditor editor;
    DocumentFiles files;
};

}  // namespace yz
