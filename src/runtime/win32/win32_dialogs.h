#pragma once

// The pure parts of message boxes and common dialogs: style and result mapping, filter strings.

#include <windows.h>

#include <string>

#include "runtime/types.h"

namespace yz {

// The caller's MB_ flags with MB_TASKMODAL added unless MB_SYSTEMMODAL is asked for.
UINT MessageBoxStyle(int flags);

// IDOK 0, IDCANCEL 1, IDABORT 2, IDRETRY 3, IDIGNORE 4, IDYES 5, IDNO 6; any other answer (a
// failed box included) counts as Cancel.
int MessageBoxResult(int id);

// The lpstrFilter of a file dialog: "description|pattern|description|pattern..." pairs, or a
// lone pattern ("*.txt") that is its own description. Each part ends with a zero character and
// the list with one more.
std::wstring FileDialogFilter(const Text& filter);

}  // namespace yz
