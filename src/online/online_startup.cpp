#include "online/online_startup.h"

#include "online/reachability.h"
#include "online/web_answers.h"
#include "online/web_requests.h"
#include "runtime/clock.h"
#include "runtime/convert.h"
#include "runtime/net.h"
#include "settings/config_keys.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

namespace {

using namespace ui;

constexpr int kOfflineNoticeDelayMs = 2000;
constexpr int kPresencePeriodMs = 15000;
constexpr int kTickerPeriodMs = 5000;
constexpr int kAnnouncementPeriodMs = 300000;

}  // namespace

bool OnlineStartup::Run() {
    if (!WebServerReachable(addresses_.server_base_address, kServerProbeTimeoutMs)) {
        ui_.DelayWithEvents(kOfflineNoticeDelayMs);
        ShowNotice(
            "<font color=red>无法连接到官网.请检查网络状态或护软拦截.\r\n放弃启动部份网络功能(如:版本升级.作品展示等)</"
            "font>",
            true);
        return false;
    }
    VisitTutorialMonthly();
    CheckVersion();
    address_text_ = ReadAddressText(HttpReadFile(addresses_.ip_lookup_address));
    if (!address_text_.empty()) {
        ui_.SetProperty(在线时钟, Property::kPeriod, std::int64_t{kPresencePeriodMs});
    }
    ui_.SetProperty(播报时钟, Property::kPeriod, std::int64_t{kTickerPeriodMs});
    feedback_sent_ = false;
    ui_.SetProperty(广告时钟, Property::kPeriod, std::int64_t{kAnnouncementPeriodMs});
    return true;
}

void OnlineStartup::ShowNotice(const Text& rich_text, bool flag) {
    const auto x = GetNumber(ui_, 主窗, Property::kLeft) + GetNumber(ui_, 主窗, Property::kWidth) - 30;
    const auto y = GetNumber(ui_, 主窗, Property::kTop) + 80;
    ui_.ShowTip(气球客服, static_cast<int>(x), static_cast<int>(y), rich_text, -1, flag);
}

void OnlineStartup::VisitTutorialMonthly() {
    const Text month = ToText(MonthOf(Now()));
    if (ReadTutorialMonth() != month) {
        ui_.OpenUrl(addresses_.tutorial_address);
        WriteTutorialMonth(month);
        ui_.SetFocus(主编框);
    }
}

void OnlineStartup::CheckVersion() {
    if (IsNewerVersion(HttpReadFile(LatestVersionAddress(addresses_.server_base_address)), kVersionText)) {
        ShowNotice("<font color=red>[砚舟文匣]已发布新版本.请至官网或合作站点下载更新</font>", false);
    }
}

}  // namespace yz
