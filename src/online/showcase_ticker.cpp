#include "online/showcase_ticker.h"

#include <algorithm>

#include "online/web_requests.h"
#include "runtime/net.h"
#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

constexpr Colour kTickerRed = 0x0000FF;    // RGB(255, 0, 0)
constexpr Colour kTickerHover = 0x00E080;  // RGB(128, 224, 0)
constexpr char kHelpCaption[] = "互助提示:";

void SetLook(UiService& ui, Colour colour, bool underline) {
    ui.SetProperty(播报标签, Property::kTextColour, std::int64_t{colour});
    ui.SetProperty(播报标签, Property::kFontUnderline, underline);
}

}  // namespace

void ShowcaseTicker::OnTick() {
    SetLook(ui_, kTickerRed, false);
    if (showcase_list_.empty()) {
        showcase_list_ = ReadWorksList(HttpReadFile(WorksListAddress(server_base_address_)));
        return;
    }
    // An entry that lacks a field is passed over; a list without any whole entry shows nothing.
    const int count = static_cast<int>(showcase_list_.size());
    for (int tried = 0; tried < count; ++tried) {
        index_ = index_ >= count ? 1 : index_ + 1;
        std::optional<WorkEntry> entry = ReadWorkEntry(showcase_list_[static_cast<std::size_t>(index_ - 1)]);
        if (!entry) {
            continue;
        }
        ui_.SetProperty(播报标签, Property::kText,
                        "〖" + entry->pen_name + "〗展示作品:【" + entry->work_name + "】 " + entry->motto);
        ui_.SetProperty(播报标签, Property::kDisabled, false);
        current_entry_ = std::move(entry);
        return;
    }
}

void ShowcaseTicker::OnMouseMove(int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x < GetNumber(ui_, 播报标签, Property::kWidth) &&
                        y < GetNumber(ui_, 播报标签, Property::kHeight);
    if (inside) {
        // The look stays until the next ticker step; the window keeps handling input meanwhile.
        SetLook(ui_, kTickerHover, true);
    }
}

void ShowcaseTicker::OnClick() {
    if (!current_entry_) {
        return;
    }
    if (pen_name_.Reload().empty()) {
        ui_.MessageBox(
            "由于程序并未检测到您的[笔名/昵称].\r\n\r\n若以游客身份添加互助记录.会造成对方无法进行回访操作\r\n\r\n"
            "请先展示您的作品,程序会自动以您的笔名完成互访记录.",
            kMbIconWarning, kHelpCaption);
        return;
    }
    if (current_entry_->pen_name == pen_name_.copy()) {
        ListOwnVisitors();
    } else {
        Visit();
    }
}

void ShowcaseTicker::Visit() {
    if (!current_entry_) {
        return;
    }
    const Text& link = current_entry_->work_link;
    if (!IsWebLink(link)) {
        return;
    }
    const TextList visitors = ReadPenNames(HttpReadFile(RecordsQueryAddress(server_base_address_, link)));
    // Whole names only: "李" has not visited because "李四" has.
    if (std::find(visitors.begin(), visitors.end(), pen_name_.copy()) != visitors.end()) {
        ui_.OpenUrl(link);
        return;
    }
    if (IsAcknowledgement(HttpReadFile(AddRecordAddress(server_base_address_, link, pen_name_.copy())),
                          kRecordAddedAnswer)) {
        ui_.OpenUrl(link);
    } else {
        ui_.MessageBox("互助服务器未响应本次记录.请检查相关网络配置", kMbIconWarning, kHelpCaption);
    }
}

void ShowcaseTicker::ListOwnVisitors() {
    if (!current_entry_) {
        return;
    }
    ui_.ListBoxClear(作者列表);
    const TextList visitors =
        ReadPenNames(HttpReadFile(RecordsQueryAddress(server_base_address_, current_entry_->work_link)));
    if (visitors.empty()) {
        ui_.MessageBox("未查询到该作品的互助记录 !_| ", kMbIconInformation, kHelpCaption);
        return;
    }
    int line = 0;
    for (const Text& visitor : visitors) {
        ui_.ListBoxInsert(作者列表, line++, visitor, 0);
    }
}

}  // namespace yz
