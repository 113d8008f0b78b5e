#include "settings/appearance.h"

#include "settings/config_keys.h"
#include "ui/names.h"

namespace yz {

void ApplySavedAppearance(UiService& ui) {
    using ui::主编框;
    ui.SetProperty(主编框, Property::kTextColour, std::int64_t{ReadTextColour()});
    ui.SetProperty(主编框, Property::kFontFace, ReadFontName());
    ui.SetProperty(主编框, Property::kFontSize, std::int64_t{ReadFontSize()});
    ui.SetProperty(主编框, Property::kFontBold, ReadFontBold());
    ui.SetProperty(主编框, Property::kFontItalic, ReadFontItalic());
    ui.SetProperty(主编框, Property::kFontStrikeOut, ReadFontStrikeOut());
    ui.SetProperty(主编框, Property::kFontUnderline, ReadFontUnderline());
}

}  // namespace yz
