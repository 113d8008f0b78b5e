#pragma once

#include "runtime/ui_service.h"

namespace yz {

class Features;

// Wires the encryption panel, the appearance commands, the hover highlight and the one-key hide
// to the templates' events and menu entries.
void BindPanelsAndAppearance(UiService& ui, Features& features);

}  // namespace yz
