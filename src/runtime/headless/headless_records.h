#pragma once

// What the headless desktop records of the program's visible behaviour, for tests to assert, and
// the shapes of the answers a test gives in the writer's place.

#include <cstdint>
#include <optional>

#include "runtime/ui_service.h"

namespace yz {

struct MessageBoxRecord {
    Text text;
    int flags = 0;  // as shown: MB_TASKMODAL added unless MB_SYSTEMMODAL was asked for
    Text caption;
    friend bool operator==(const MessageBoxRecord&, const MessageBoxRecord&) = default;
};

// A common dialog as it was opened, before any answer changed it.
struct DialogRecord {
    ControlRef dialog;
    int kind = kDialogOpen;
    Text file_name;  // as its file-name field shows it: the last name only
    Text filter;
    Text initial_directory;
    Text default_extension;
};

struct PopupRecord {
    Text window;
    Text menu;
    int x = 0;
    int y = 0;
    friend bool operator==(const PopupRecord&, const PopupRecord&) = default;
};

struct BalloonRecord {
    ControlRef tip;
    int x = 0;
    int y = 0;
    Text rich_text;
    int icon = -1;
    bool flag = false;
    friend bool operator==(const BalloonRecord&, const BalloonRecord&) = default;
};

struct TrayIconState {
    Text picture;
    Text tooltip;
    friend bool operator==(const TrayIconState&, const TrayIconState&) = default;
};

// The layered attributes of a window: alpha applies when set, the colour key when set.
struct LayeredState {
    bool layered = false;
    std::optional<int> alpha;
    std::optional<Colour> colour_key;
    friend bool operator==(const LayeredState&, const LayeredState&) = default;
};

// A font as the font dialog hands it back; the size is in points.
struct FontChoice {
    Text face;
    int size = 9;
    bool bold = false;
    bool italic = false;
    bool strike_out = false;
    bool underline = false;
    Colour colour = kBlack;
    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

}  // namespace yz
