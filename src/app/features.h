#pragma once

// Every feature's state and handlers, owned by the program and wired to the templates by it.

#include "app/chat_wiring.h"
#include "app/deployment.h"
#include "app/one_key_hide.h"
#include "app/panels.h"
#include "app/program_values.h"
#include "crypto/encryption_panel.h"
#include "document/auto_save.h"
#include "document/document_editor.h"
#include "document/document_files.h"
#include "document/document_state.h"
#include "document/text_rescue.h"
#include "online/chat.h"
#include "online/online_features.h"
#include "settings/appearance_commands.h"
#include "settings/hover_highlight.h"
#include "settings/transparency_mode.h"

namespace yz {

class Features {
  public:
    Features(UiService& ui, const Deployment& deployment, ProgramValues& values)
        : rescue(ui),
          auto_save(ui, document, rescue),
          editor(ui, document, [this] { auto_save.SaveParagraph(); }),
          files(ui, document, auto_save),
          chat(ui,
               deployment.broadcast_port,
               DeployedPortalProbe(deployment),
               values.address_text,
               [&ui] { ReturnOperation(ui); }),
          online(ui,
                 {deployment.server_base_address, deployment.ip_lookup_address, deployment.tutorial_address},
                 values.address_text,
                 values.feedback_sent,
                 [&ui] { ReturnOperation(ui); }),
          encryption(
              ui,
              [&ui] { ReturnOperation(ui); },
              [this](const Text& text) { auto_save.ReplaceEditorText(text); }),
          transparency(ui, [&ui] { ReturnOperation(ui); }),
          appearance(ui),
          hover(ui),
          hide(ui, encryption) {}

    DocumentState document;
    TextRescue rescue;
    AutoSave auto_save;
    DocumentEditor editor;
    DocumentFiles files;
    Chat chat;
    OnlineFeatures online;
    EncryptionPanel encryption;
    TransparencyMode transparency;
    AppearanceCommands appearance;
    HoverHighlight hover;
    OneKeyHide hide;
};

}  // namespace yz
