#pragma once

// What both backends hand to the common file dialog, worked out from the dialog unit's properties.

#include "runtime/types.h"

namespace yz {

// The last name of a path (after its last '\' or '/', on character boundaries): what goes into
// the dialog's file-name field. A full path there would be taken as the folder to start in,
// overriding the initial directory the command gives.
Text FileDialogStartName(const Text& path);

// The extension a dialog adds to a typed name that has none, from a pattern such as "*.txt",
// ".txt" or "txt": "txt". Empty when the pattern names no single extension ("*.*", "*").
Text DefaultExtensionOf(const Text& pattern);

// `path` with ".ext" added when its last name has no extension at all, as the dialogs do.
Text WithDefaultExtension(const Text& path, const Text& pattern);

}  // namespace yz
