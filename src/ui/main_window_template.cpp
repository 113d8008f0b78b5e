#include "ui/names.h"
#include "ui/templates.h"

namespace yz::ui {

namespace {

using E = EventKind;
using K = ControlKind;

constexpr Colour kStatusMagenta = 0xFF00FF;
constexpr Colour kCodeBoxColour = 0xC080FF;
constexpr Colour kConsoleGrey = 0xECECEC;
constexpr Colour kPanelGreen = 0x00E080;

FontSpec Font(const char* face, int height_px, bool bold = false) {
    return FontSpec{.face = face, .height_px = height_px, .bold = bold};
}

std::vector<ControlTemplate> MainControls() {
    return {
        {.name = "关作标签", .kind = K::kTransparentLabel, .rect = {461, 582, 32, 35},
         .pointer = MousePointer::kHand, .text = "⊙", .text_colour = kRed, .font = Font("宋体", 16),
         .events = {E::kLeftButtonDown}},
        {.name = "密令编框", .kind = K::kEditBox, .rect = {120, 100, 200, 46}, .container = "管理选夹", .page = 1,
         .text_colour = kCodeBoxColour, .back_colour = kCodeBoxColour, .font = Font("宋体", 37), .input_limit = 8,
         .alignment = Alignment::kCentre, .events = {E::kKeyDown}},
        {.name = "客服编框", .kind = K::kEditBox, .rect = {1, 222, 438, 26}, .container = "管理选夹", .page = 0,
         .back_colour = kConsoleGrey, .events = {E::kKeyDown}},
        {.name = "按钮1", .kind = K::kButton, .rect = {388, 15, 38, 22}, .container = "管理选夹", .page = 0,
         .text = "关闭", .events = {E::kClicked}},
        {.name = "在线标签", .kind = K::kTransparentLabel, .rect = {6, 15, 338, 22}, .container = "管理选夹",
         .page = 0, .text_colour = kBlue},
        {.name = "用户超表框", .kind = K::kListView, .rect = {0, 41, 440, 180}, .container = "管理选夹", .page = 0},
        {.name = "管理选夹", .kind = K::kTabControl, .rect = {2, 250, 440, 260}, .visible = false, .enabled = false,
         .texts = {"0", "1", "2", "3"}},
        {.name = "在线时钟", .kind = K::kTimer, .events = {E::kTick}},
        {.name = "广告时钟", .kind = K::kTimer, .events = {E::kTick}},
        {.name = "返回超钮", .kind = K::kPictureButton, .rect = {366, 306, 32, 25}, .visible = false,
         .enabled = false, .texts = {"返回", "返回写作"}, .events = {E::kClicked}},
        {.name = "设置标签", .kind = K::kTransparentLabel, .rect = {176, -1, 50, 16}, .pointer = MousePointer::kHand,
         .text = "设置菜单", .text_colour = kBlue, .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "标题标签", .kind = K::kLabel, .rect = {0, 16, 456, 18}, .text_colour = kStatusMagenta,
         .back_colour = kWhite, .events = {E::kNotification}},
        {.name = "透明滑条", .kind = K::kSlider, .rect = {210, 100, 40, 255}, .visible = false, .enabled = false,
         .slider = {.vertical = true, .minimum = 1, .maximum = 255, .page_step = 10, .line_step = 1,
                    .tick_frequency = 15, .ticks_both_sides = true},
         .events = {E::kPositionChanged, E::kLeftButtonUp}},
        {.name = "关闭标签", .kind = K::kTransparentLabel, .rect = {443, -1, 16, 16}, .pointer = MousePointer::kHand,
         .text = "×", .text_colour = kBlue, .font = Font("宋体", 16, true),
         .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "帮助标签", .kind = K::kTransparentLabel, .rect = {233, -1, 50, 16}, .pointer = MousePointer::kHand,
         .text = "帮助菜单", .text_colour = kBlue, .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "功能标签", .kind = K::kTransparentLabel, .rect = {119, -1, 50, 16}, .pointer = MousePointer::kHand,
         .text = "功能菜单", .text_colour = kBlue, .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "编辑标签", .kind = K::kTransparentLabel, .rect = {62, -1, 50, 16}, .pointer = MousePointer::kHand,
         .text = "编辑菜单", .text_colour = kBlue, .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "操作标签", .kind = K::kTransparentLabel, .rect = {5, -1, 50, 16}, .pointer = MousePointer::kHand,
         .text = "操作菜单", .text_colour = kBlue, .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "笔名框", .kind = K::kEditBox, .rect = {90, 70, 120, 30}, .visible = false, .enabled = false,
         .tab_position = 1, .input_limit = 16, .alignment = Alignment::kCentre, .placeholder = "设置您的:笔名/昵称",
         .events = {E::kGotFocus, E::kLostFocus, E::kKeyDown}},
        {.name = "书名框", .kind = K::kEditBox, .rect = {290, 70, 160, 30}, .visible = false, .enabled = false,
         .tab_position = 2, .input_limit = 20, .alignment = Alignment::kCentre,
         .placeholder = "请输入您将展示的作品名", .events = {E::kGotFocus, E::kLostFocus, E::kKeyDown}},
        {.name = "宣言框", .kind = K::kEditBox, .rect = {90, 156, 260, 30}, .visible = false, .enabled = false,
         .tab_position = 3, .input_limit = 36, .alignment = Alignment::kCentre,
         .placeholder = "请填写不超过18个汉字(36个字符)的互助宣言",
         .events = {E::kGotFocus, E::kLostFocus, E::kKeyDown}},
        {.name = "链接框", .kind = K::kEditBox, .rect = {90, 238, 360, 30}, .visible = false, .enabled = false,
         .tab_position = 4, .font = Font("新宋体", 12), .alignment = Alignment::kCentre,
         .placeholder = "请录入您将展示的作品链接(必须为常用浏览器能正常访问的网址)",
         .events = {E::kGotFocus, E::kLostFocus, E::kKeyDown}},
        {.name = "展示按钮", .kind = K::kPictureButton, .rect = {398, 156, 32, 32}, .visible = false,
         .enabled = false, .tab_position = 5, .pictures = {kShowcasePicture, kShowcasePressedPicture},
         .events = {E::kClicked, E::kKeyDown}},
        {.name = "互助时钟", .kind = K::kTimer, .events = {E::kTick}},
        {.name = "作者列表", .kind = K::kListBox, .rect = {0, 587, 460, 40}, .font = Font("宋体", 12),
         .events = {E::kSelectionChanged, E::kKeyDown}},
        {.name = "数据报", .kind = K::kDatagramSocket, .port = 25610, .events = {E::kDatagramArrived}},
        {.name = "播报时钟", .kind = K::kTimer, .events = {E::kTick}},
        {.name = "播报标签", .kind = K::kTransparentLabel, .rect = {3, 561, 453, 18}, .enabled = false,
         .pointer = MousePointer::kHand, .text = "播报系统", .text_colour = kRed, .font = Font("宋体", 12),
         .events = {E::kLeftButtonDown, E::kMouseMove}},
        {.name = "气球客服", .kind = K::kBalloonTip, .body_font = FontSpec{.face = "宋体", .height_px = 12}},
        {.name = "发言框", .kind = K::kEditBox, .rect = {2, 406, 440, 100}, .visible = false, .enabled = false,
         .text_colour = kStatusMagenta, .back_colour = kConsoleGrey, .font = Font("楷体_GB2312", 21, true),
         .input_limit = 72, .multi_line = true, .events = {E::kKeyDown}},
        {.name = "显隐选框", .kind = K::kCheckBox, .rect = {332, 261, 45, 25}, .visible = false, .enabled = false,
         .text = "显示密码", .events = {E::kClicked}},
        {.name = "解M地址", .kind = K::kLabel, .rect = {222, 218, 120, 25}, .visible = false, .enabled = false},
        {.name = "路径按钮", .kind = K::kButton, .rect = {348, 218, 80, 25}, .visible = false, .enabled = false,
         .text = "选择解密文件", .events = {E::kClicked}},
        {.name = "加M文件名", .kind = K::kEditBox, .rect = {137, 218, 80, 25}, .visible = false, .enabled = false,
         .tab_position = 1, .text_colour = kRed, .back_colour = kPanelGreen, .font = Font("宋体", 16),
         .events = {E::kKeyDown}},
        {.name = "强制解析", .kind = K::kButton, .rect = {336, 301, 60, 36}, .visible = false, .enabled = false,
         .text = "返回", .events = {E::kClicked}},
        {.name = "解m按钮", .kind = K::kButton, .rect = {228, 301, 60, 36}, .visible = false, .enabled = false,
         .text = "文件解密", .events = {E::kClicked}},
        {.name = "加按钮", .kind = K::kButton, .rect = {119, 301, 60, 36}, .visible = false, .enabled = false,
         .text = "文件加密", .events = {E::kClicked}},
        {.name = "加解M框", .kind = K::kEditBox, .rect = {137, 261, 180, 25}, .visible = false, .enabled = false,
         .tab_position = 2, .text_colour = kRed, .back_colour = kPanelGreen, .font = Font("宋体", 16),
         .input_limit = 9, .alignment = Alignment::kCentre, .input_mode = kInputMasked, .mask_character = '&',
         .events = {E::kKeyDown}},
        {.name = "透明标签", .kind = K::kTransparentLabel, .rect = {0, 83, 530, 260}, .visible = false,
         .enabled = false, .pointer = MousePointer::kNo, .font = Font("宋体", 13, true)},
        {.name = "段落列表", .kind = K::kListBox, .rect = {0, 360, 459, 35}, .visible = false, .enabled = false,
         .tab_position = 1, .pointer = MousePointer::kHand, .font = Font("宋体", 13, true),
         .events = {E::kSelectionChanged}},
        {.name = "颜色选择器1", .kind = K::kColourPicker, .rect = {273, 35, 30, 30}, .visible = false,
         .events = {E::kColourChosen}},
        {.name = "通用对话框", .kind = K::kCommonDialog, .filter = "*.txt"},
        {.name = "主编框", .kind = K::kEditBox, .rect = {0, 35, 458, 520}, .font = Font("宋体", 24),
         .multi_line = true, .vertical_scroll = true, .border = false, .mask_character = ' ',
         .events = {E::kKeyDown, E::kGotFocus, E::kContentChanged}},
    };
}

MenuEntry Top(const Text& caption) {
    return MenuEntry{.caption = caption, .level = 0, .hidden = true};
}

MenuEntry Item(const Text& caption, const Text& shortcut = "") {
    return MenuEntry{.caption = caption, .level = 1, .shortcut = shortcut};
}

std::vector<MenuEntry> MainMenus() {
    const MenuEntry separator = Item("-");
    return {
        Top(操作菜单),       Item("新建文档 Alt+A"), separator, Item("保存文档 Alt+S"), separator,
        Item("打开文档 Alt+D"), Item("添加文档 Alt+F"),

        Top(编辑菜单),       Item("撤消操作", "Ctrl+Z"), Item("剪切字符", "Ctrl+X"), separator,
        Item("复制字符", "Ctrl+C"), Item("粘贴字符", "Ctrl+V"), separator, Item("清空字符", "Del"),

        Top(功能菜单),       Item("文档加密 Alt+Q"), separator, Item("作品展示 Alt+W"), Item("文笔交互 Alt+E"),
        separator,           Item("读取自存 Alt+R"),

        Top(设置菜单),       Item("背景透明 Alt+T"), separator, Item("字体颜色 Alt+Y"), Item("字体大小 Alt+U"),
        separator,           Item("配置还原 Alt+I"),

        Top(帮助菜单),       Item("壹键隐藏 [说明] "), Item("自动保存 [说明]"), Item("建议反馈 [收集]"),
        Item("作者版权 [声明]"), Item("快捷帮助 [说明]"),

        Top(互助菜单),       Item("互助当前作品"), Item("查询互助记录"),
    };
}

}  // namespace

const WindowTemplate& MainWindowTemplate() {
    static const WindowTemplate window{
        .name = kMainWindow,
        .rect = {0, 0, 500, 645},
        .start_position = 1,
        .border_style = 0,
        .background = kWhite,
        .picture = kMainPicture,
        .controls = MainControls(),
        .menus = MainMenus(),
        .events = {E::kCreated, E::kQueryClose, E::kMoved, E::kResized, E::kActivated, E::kGotFocus},
    };
    return window;
}

}  // namespace yz::ui
