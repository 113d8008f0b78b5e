#pragma once

// The program's windows and controls, addressed by window and control name. Handlers use these
// references everywhere: ui.SetProperty(主编框, Property::kText, ...).

#include "runtime/ui_service.h"

namespace yz::ui {

inline const Text kBackdropWindow = "底窗";
inline const Text kMainWindow = "主窗";
inline const Text kAnnouncementWindow = "公告窗";
inline const Text kFeedbackWindow = "反馈窗";

inline const ControlRef 底窗{kBackdropWindow, ""};
inline const ControlRef 主窗{kMainWindow, ""};
inline const ControlRef 公告窗{kAnnouncementWindow, ""};
inline const ControlRef 反馈窗{kFeedbackWindow, ""};

// Main window.
inline const ControlRef 关作标签{kMainWindow, "关作标签"};
inline const ControlRef 密令编框{kMainWindow, "密令编框"};
inline const ControlRef 客服编框{kMainWindow, "客服编框"};
inline const ControlRef 按钮1{kMainWindow, "按钮1"};
inline const ControlRef 在线标签{kMainWindow, "在线标签"};
inline const ControlRef 用户超表框{kMainWindow, "用户超表框"};
inline const ControlRef 管理选夹{kMainWindow, "管理选夹"};
inline const ControlRef 在线时钟{kMainWindow, "在线时钟"};
inline const ControlRef 广告时钟{kMainWindow, "广告时钟"};
inline const ControlRef 返回超钮{kMainWindow, "返回超钮"};
inline const ControlRef 设置标签{kMainWindow, "设置标签"};
inline const ControlRef 标题标签{kMainWindow, "标题标签"};
inline const ControlRef 透明滑条{kMainWindow, "透明滑条"};
inline const ControlRef 关闭标签{kMainWindow, "关闭标签"};
inline const ControlRef 帮助标签{kMainWindow, "帮助标签"};
inline const ControlRef 功能标签{kMainWindow, "功能标签"};
inline const ControlRef 编辑标签{kMainWindow, "编辑标签"};
inline const ControlRef 操作标签{kMainWindow, "操作标签"};
inline const ControlRef 笔名框{kMainWindow, "笔名框"};
inline const ControlRef 书名框{kMainWindow, "书名框"};
inline const ControlRef 宣言框{kMainWindow, "宣言框"};
inline const ControlRef 链接框{kMainWindow, "链接框"};
inline const ControlRef 展示按钮{kMainWindow, "展示按钮"};
inline const ControlRef 互助时钟{kMainWindow, "互助时钟"};
inline const ControlRef 作者列表{kMainWindow, "作者列表"};
inline const ControlRef 数据报{kMainWindow, "数据报"};
inline const ControlRef 播报时钟{kMainWindow, "播报时钟"};
inline const ControlRef 播报标签{kMainWindow, "播报标签"};
inline const ControlRef 气球客服{kMainWindow, "气球客服"};
inline const ControlRef 发言框{kMainWindow, "发言框"};
inline const ControlRef 显隐选框{kMainWindow, "显隐选框"};
inline const ControlRef 解M地址{kMainWindow, "解M地址"};
inline const ControlRef 路径按钮{kMainWindow, "路径按钮"};
inline const ControlRef 加M文件名{kMainWindow, "加M文件名"};
inline const ControlRef 强制解析{kMainWindow, "强制解析"};
inline const ControlRef 解m按钮{kMainWindow, "解m按钮"};
inline const ControlRef 加按钮{kMainWindow, "加按钮"};
inline const ControlRef 加解M框{kMainWindow, "加解M框"};
inline const ControlRef 透明标签{kMainWindow, "透明标签"};
inline const ControlRef 段落列表{kMainWindow, "段落列表"};
inline const ControlRef 颜色选择器1{kMainWindow, "颜色选择器1"};
inline const ControlRef 通用对话框{kMainWindow, "通用对话框"};
inline const ControlRef 主编框{kMainWindow, "主编框"};

// Feedback window.
inline const ControlRef 提交按钮{kFeedbackWindow, "提交按钮"};
inline const ControlRef 正文框{kFeedbackWindow, "正文框"};
inline const ControlRef 昵称框{kFeedbackWindow, "昵称框"};
inline const ControlRef 透明标签2{kFeedbackWindow, "透明标签2"};
inline const ControlRef 透明标签1{kFeedbackWindow, "透明标签1"};

// Menus of the main window (top-level captions).
inline const Text 操作菜单 = "操作菜单";
inline const Text 编辑菜单 = "编辑菜单";
inline const Text 功能菜单 = "功能菜单";
inline const Text 设置菜单 = "设置菜单";
inline const Text 帮助菜单 = "帮助菜单";
inline const Text 互助菜单 = "互助菜单";

// Pictures, by resource name.
inline const Text kBackdropPicture = "BACKDROP_PICTURE";         // 500 x 600, 64 colours
inline const Text kMainPicture = "MAIN_PICTURE";                 // 500 x 610, 32 colours
inline const Text kBackdropIcon = "BACKDROP_ICON";               // 32 x 32, 256 colours
inline const Text kShowcasePicture = "SHOWCASE_PICTURE";         // 32 x 32
inline const Text kShowcasePressedPicture = "SHOWCASE_PRESSED";  // 32 x 32
inline const Text kTrayPicture = "TRAY_PICTURE";                 // 32 x 32

}  // namespace yz::ui
