// Message boxes and the common dialogs (open, save, font).

#include "runtime/win32/win32_dialogs.h"

#include "runtime/win32/win32_desktop.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "runtime/file_dialog_names.h"
#include "runtime/text.h"
#include "runtime/wide_win32.h"
#include "runtime/win32/win32_fonts.h"

namespace yz {

UINT MessageBoxStyle(int flags) {
    UINT style = static_cast<UINT>(flags);
    if ((style & MB_SYSTEMMODAL) == 0) {
        style |= MB_TASKMODAL;
    }
    return style;
}

int MessageBoxResult(int id) {
    if (id >= IDOK && id <= IDNO) {
        return id - IDOK;  // IDOK..IDNO run 1..7 in the same order as the results
    }
    return kResultCancel;
}

std::wstring FileDialogFilter(const Text& filter) {
    if (filter.empty()) {
        return {};
    }
    // '|' can be the trail byte of a Chinese character, so the split walks characters.
    std::vector<Text> parts(1);
    for (std::size_t i = 0; i < filter.size(); ++i) {
        const auto byte = static_cast<unsigned char>(filter[i]);
        if (IsGbkLeadByte(byte) && i + 1 < filter.size()) {
            parts.back().append(filter, i, 2);
            ++i;
        } else if (byte == '|') {
            parts.emplace_back();
        } else {
            parts.back().push_back(static_cast<char>(byte));
        }
    }
    if (parts.size() % 2 != 0) {
        parts.push_back(parts.back());  // a description without pattern filters by itself
    }
    std::wstring list;
    for (const Text& part : parts) {
        list += WideFromGbk(part);
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

int Win32Desktop::MessageBox(const Text& text, int flags, const Text& caption) {
    const std::wstring wide_text = WideFromGbk(text);
    const std::wstring wide_caption = WideFromGbk(caption);
    const UINT style = MessageBoxStyle(flags);
    const int id = message_box_ ? message_box_(wide_text, wide_caption, style)
                                : MessageBoxW(nullptr, wide_text.c_str(), wide_caption.c_str(), style);
    return MessageBoxResult(id);
}

bool Win32Desktop::ShowFileDialog(const ControlRef& ref) {
    ControlState* dialog = FindControl(ref);
    if (dialog == nullptr || dialog->tmpl.kind != ControlKind::kCommonDialog) {
        return false;
    }
    return dialog->dialog_kind == kDialogFont ? RunFontDialog(dialog) : RunFileDialog(dialog);
}

bool Win32Desktop::RunFileDialog(ControlState* dialog) {
    const bool save = dialog->dialog_kind == kDialogSave;
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring initial_file = WideFromGbk(FileDialogStartName(dialog->file_name));
    initial_file.copy(file.data(), std::min(initial_file.size(), file.size() - 1));
    const std::wstring filter = FileDialogFilter(dialog->tmpl.filter);
    const std::wstring directory = WideFromGbk(dialog->initial_directory);
    const std::wstring extension = WideFromGbk(DefaultExtensionOf(dialog->default_extension));
    OPENFILENAMEW settings{};
    settings.lStructSize = sizeof(settings);
    settings.hwndOwner = dialog->window->hwnd;
    settings.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    settings.nFilterIndex = 1;
    settings.lpstrFile = file.data();
    settings.nMaxFile = static_cast<DWORD>(file.size());
    settings.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    settings.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    settings.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                     (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL confirmed = save ? GetSaveFileNameW(&settings) : GetOpenFileNameW(&settings);
    if (!confirmed) {
        return false;
    }
    dialog->file_name = GbkFromWide(file.data());
    return true;
}

bool Win32Desktop::RunFontDialog(ControlState* dialog) {
    // The dialog opens on the last confirmed choice of this run; the first time on nothing.
    LOGFONTW font = last_font_;
    CHOOSEFONTW settings{};
    settings.lStructSize = sizeof(settings);
    settings.hwndOwner = dialog->window->hwnd;
    settings.lpLogFont = &font;
    settings.rgbColors = last_font_colour_;
    settings.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&settings)) {
        return false;
    }
    last_font_ = font;
    last_font_colour_ = settings.rgbColors;
    FontSpec chosen;
    chosen.face = GbkFromWide(font.lfFaceName);
    chosen.height_px = PixelsFromPoints((settings.iPointSize + 5) / 10);
    chosen.bold = font.lfWeight >= FW_BOLD;  // semi-bold (600) is not bold
    chosen.italic = font.lfItalic != 0;
    chosen.underline = font.lfUnderline != 0;
    chosen.strike_out = font.lfStrikeOut != 0;
    dialog->tmpl.font = chosen;
    dialog->tmpl.text_colour = static_cast<Colour>(settings.rgbColors);
    return true;
}

}  // namespace yz
