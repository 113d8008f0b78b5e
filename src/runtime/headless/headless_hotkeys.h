#pragma once

// The system-wide hotkey table as the headless desktop keeps it: identifiers handed out per call,
// combinations other programs own, and which registration a key press belongs to.

#include <set>
#include <utility>
#include <vector>

#include "runtime/ui_service.h"

namespace yz {

// The MOD_ flags of the system: Alt 1, Ctrl 2, Shift 4, Windows key 8.
inline constexpr int kModAlt = 1;
inline constexpr int kModControl = 2;
inline constexpr int kModShift = 4;
inline constexpr int kModWin = 8;

// The registration's modifier numbers (0 none, 1 Ctrl, 2 Shift, 3 Ctrl+Shift, 4 Alt, 5 Ctrl+Alt,
// 6 Shift+Alt) as MOD_ flags; any other number is passed on unchanged.
int ModifierNumberToFlags(int number);
// Key-event modifier bits (1 Ctrl, 2 Shift, 4 Alt, 8 Windows key) as MOD_ flags.
int KeyModifiersToFlags(int modifiers);

struct RegisteredHotKey {
    int id = 0;
    Text watched_window;
    ControlRef receiver;
    int flags = 0;  // MOD_ flags
    int virtual_key = 0;
};

class HotKeyRegistry {
  public:
    static constexpr int kFirstIdentifier = 33001;

    // Every call uses up the next identifier; the result is it, or 0 when the watched window is
    // missing or the combination is taken (by another program or an earlier registration).
    int Register(const Text& watched_window,
                 bool window_exists,
                 const ControlRef& receiver,
                 int modifier_number,
                 int virtual_key);
    // The registration a press of the combination belongs to, if any.
    const RegisteredHotKey* Find(int flags, int virtual_key) const;
    // Whether a press of the combination is taken by the system (ours or another program's).
    bool IsTaken(int flags, int virtual_key) const;
    void ClaimForOtherProgram(int flags, int virtual_key);
    void ReleaseForOtherProgram(int flags, int virtual_key);
    // A destroyed window's hotkeys are given back.
    void DropWindow(const Text& window);

    const std::vector<RegisteredHotKey>& keys() const { return keys_; }
    int calls() const { return calls_; }

  private:
    int calls_ = 0;
    std::vector<RegisteredHotKey> keys_;
    std::set<std::pair<int, int>> others_;
};

}  // namespace yz
