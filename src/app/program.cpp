#include "app/program.h"

#include "app/chat_wiring.h"
#include "app/features.h"
#include "app/help_texts.h"
#include "app/menus.h"
#include "app/panel_bindings.h"
#include "app/panels.h"
#include "app/single_instance_lock.h"
#include "runtime/fatal_error.h"
#include "runtime/files.h"
#include "settings/appearance.h"
#include "settings/config_keys.h"
#include "ui/main_layout.h"
#include "ui/names.h"
#include "ui/status_line.h"
#include "ui/templates.h"

namespace yz {

namespace {

using namespace ui;

// The backdrop lies this far below the main window's top edge.
constexpr int kBackdropDrop = 17;

}  // namespace

Program::Program(UiService& ui, Deployment deployment)
    : ui_(ui), deployment_(std::move(deployment)), features_(std::make_unique<Features>(ui, deployment_, values_)) {
    SetFatalErrorRescue([this] { features_->rescue.KeepOnFatalError(); });
}

Program::~Program() {
    SetFatalErrorRescue({});
}

int Program::Run() {
    Start();
    return ui_.RunMessageLoop();
}

void Program::ReplacePortalProbeForTesting(std::function<bool()> probe) {
    features_->chat.ReplacePortalProbe(std::move(probe));
}

bool Program::Start() {
    BindShell();
    ui_.LoadWindow(BackdropWindowTemplate(), "", false);
    if (refused_) {
        return false;
    }
    // The last start-up step runs once both windows are shown and painted: it may block them for
    // seconds while the server is asked.
    features_->online.startup.Run();
    return true;
}

void Program::BindShell() {
    Features& f = *features_;

    ui_.Bind(底窗, EventKind::kCreated, Always([this] { OnBackdropCreated(); }));
    ui_.Bind(底窗, EventKind::kGotFocus, Always([this] { ui_.SetFocus(主窗); }));

    ui_.Bind(主窗, EventKind::kCreated, Always([this] { OnMainCreated(); }));
    ui_.Bind(主窗, EventKind::kMoved, Always([this] { OnMainMoved(); }));
    ui_.Bind(主窗, EventKind::kResized, Always([this] { LayOutMainWindow(ui_); }));
    ui_.Bind(主窗, EventKind::kActivated, Always([this, &f] {
                 f.hide.OnMainActivated();
                 ui_.SetFocus(主编框);
             }));
    ui_.Bind(主窗, EventKind::kGotFocus, Always([this] { ui_.SetFocus(主编框); }));
    // The exit check ends the program itself; the close request as such is always refused.
    ui_.Bind(主窗, EventKind::kQueryClose, [&f](const Event&) {
        f.files.ExitCheck();
        return false;
    });
    ui_.Bind(关闭标签, EventKind::kLeftButtonDown, Always([this] { OnCloseLabel(); }));
    ui_.Bind(关作标签, EventKind::kLeftButtonDown, Always([this] { ToggleAuthorList(); }));
    ui_.Bind(标题标签, EventKind::kNotification, [this](const Event& event) {
        DispatchHotkey(values_.hotkey_identifiers, event.a, [this](HotkeyCommand c) { RunHotkeyCommand(c); });
        return true;
    });
    // Selecting a line of either list does nothing.
    ui_.Bind(作者列表, EventKind::kSelectionChanged, Always([] {}));
    ui_.Bind(段落列表, EventKind::kSelectionChanged, Always([] {}));

    ui_.Bind(主编框, EventKind::kKeyDown, [&f](const Event& event) {
        f.hide.OnEditorKey(event.a);
        return f.editor.OnKeyDown(event.a);
    });
    ui_.Bind(主编框, EventKind::kContentChanged, Always([&f] { f.editor.UpdateStatistics(); }));

    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        ui_.Bind(*label, EventKind::kLeftButtonDown, Always([this, label] { OpenLabelMenu(ui_, *label); }));
    }
    ui_.Bind(返回超钮, EventKind::kClicked, Always([this] { ReturnOperation(ui_); }));

    const auto menu = [this](const char* caption, std::function<void()> handler) {
        ui_.BindMenu(kMainWindow, caption, std::move(handler));
    };
    menu("新建文档 Alt+A", [&f] { f.files.NewDocument(); });
    menu("保存文档 Alt+S", [&f] { f.files.SaveDocument(); });
    menu("打开文档 Alt+D", [&f] { f.files.OpenDocument(); });
    menu("添加文档 Alt+F", [&f] { f.files.AppendDocument(); });
    menu("撤消操作", [&f] { f.editor.Undo(); });
    menu("剪切字符", [&f] { f.editor.Cut(); });
    menu("复制字符", [&f] { f.editor.Copy(); });
    menu("粘贴字符", [&f] { f.editor.Paste(); });
    menu("清空字符", [&f] { f.editor.ClearText(); });
    menu("读取自存 Alt+R", [&f] { f.auto_save.ReadAutoSave(); });
    menu("壹键隐藏 [说明] ", [this] { ShowHideHelp(ui_); });
    menu("自动保存 [说明]", [&f] { f.auto_save.ShowHelp(); });
    menu("作者版权 [声明]", [this] { ShowPublisherNotice(ui_); });
    menu("快捷帮助 [说明]", [this] { ShowShortcutHelp(ui_); });
    BindChat(ui_, f.chat);
    f.online.Bind();
    BindPanelsAndAppearance(ui_, f);
}

void Program::OnBackdropCreated() {
    ui_.SetWindowAlpha(kBackdropWindow, ReadBackdropAlpha());
    ui_.LoadWindow(WithDeployedDatagramUnits(MainWindowTemplate(), deployment_), kBackdropWindow, false);
    if (refused_) {
        return;
    }
    ui_.SetProperty(底窗, Property::kLeft, GetNumber(ui_, 主窗, Property::kLeft));
    ui_.SetProperty(底窗, Property::kTop, GetNumber(ui_, 主窗, Property::kTop) + kBackdropDrop);
    ui_.SetProperty(底窗, Property::kTitle, kProductTail);
}

void Program::OnMainCreated() {
    const LockOutcome lock = TakeSingleInstanceLock(deployment_.lock_file_path);
    if (lock == LockOutcome::kRefused) {
        refused_ = true;
        ui_.MessageBox("该程序已经在运行", kMbOk, "信息：");
        ui_.EndProgram(0);
        return;
    }
    // A write killed half-way leaves its temporary file beside the program; only while this copy
    // holds the lock can no other copy be in the middle of one.
    if (lock == LockOutcome::kAcquired) {
        RemoveStaleTemporaryFiles(ProgramDirectory());
    }
    values_.hotkey_identifiers = RegisterHotkeys(ui_);
    values_.version_text = kVersionText;
    ui_.SetColourKey(kMainWindow, kWhite);
    ui_.SetProperty(主窗, Property::kTitle, Text("砚舟文匣  --霁川软件"));
    ui_.SetProperty(标题标签, Property::kText, StatusText(kProductTail));
    ApplySavedAppearance(ui_);
    ui_.SetProperty(主编框, Property::kBackColour, std::int64_t{kWhite});
    ui_.SetProperty(段落列表, Property::kBackColour, std::int64_t{kWhite});
}

void Program::OnMainMoved() {
    if (refused_) {
        return;
    }
    ui_.SetProperty(底窗, Property::kLeft, GetNumber(ui_, 主窗, Property::kLeft));
    ui_.SetProperty(底窗, Property::kTop, GetNumber(ui_, 主窗, Property::kTop) + kBackdropDrop);
    ui_.SetFocus(主窗);
}

void Program::OnCloseLabel() {
    MarkCloseLabel(ui_);
    features_->files.ExitCheck();
}

void Program::ToggleAuthorList() {
    if (GetText(ui_, 关作标签, Property::kText) == "⊙") {
        ui_.SetProperty(作者列表, Property::kVisible, false);
        ui_.SetProperty(作者列表, Property::kDisabled, true);
        ui_.SetProperty(关作标签, Property::kText, Text("◎"));
    } else {
        ui_.SetProperty(关作标签, Property::kText, Text("⊙"));
        ui_.SetProperty(作者列表, Property::kVisible, true);
        ui_.SetProperty(作者列表, Property::kDisabled, false);
    }
}

void Program::RunHotkeyCommand(HotkeyCommand command) {
    Features& f = *features_;
    switch (command) {
        case HotkeyCommand::kHide:
            f.hide.HideToTray();
            break;
        case HotkeyCommand::kClearText:
            f.editor.ClearText();
            break;
        case HotkeyCommand::kNewDocument:
            f.files.NewDocument();
            break;
        case HotkeyCommand::kSaveDocument:
            f.files.SaveDocument();
            break;
        case HotkeyCommand::kOpenDocument:
            f.files.OpenDocument();
            break;
        case HotkeyCommand::kAppendDocument:
            f.files.AppendDocument();
            break;
        case HotkeyCommand::kEncryptionPanel:
            f.encryption.TogglePanel();
            break;
        case HotkeyCommand::kReadAutoSave:
            f.auto_save.ReadAutoSave();
            break;
        case HotkeyCommand::kChat:
            f.chat.TogglePanel();
            break;
        case HotkeyCommand::kShowcase:
            f.online.panel.Toggle();
            break;
        case HotkeyCommand::kTransparency:
            f.transparency.Toggle();
            break;
        case HotkeyCommand::kTextColour:
            f.appearance.ColourCommand();
            break;
        case HotkeyCommand::kFont:
            f.appearance.FontCommand();
            break;
        case HotkeyCommand::kRestoreDefaults:
            f.appearance.RestoreDefaults();
            break;
        default:
            break;
    }
}

}  // namespace yz
