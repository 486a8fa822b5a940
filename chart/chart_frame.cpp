// The result box's text around the engine's chart: the night-zi notice
// before it, the reminder and the footer after it.
#include <string_view>

#include "chart/chart_request.h"
#include "chart/colour_spans.h"
#include "chart/corvel_bzclass.h"
#include "chart/sites.h"

namespace paipan {
namespace {

std::string ReminderBlock() {
    return std::string(kLineEnd) + "特别提醒：" + kLineEnd +
           "欢迎大家把排出的结果全部复制到晴川网论坛社区请论坛上的预测师为你提供在线免费预测咨询服务！" + kLineEnd +
           "晴川网论坛地址：" + kForumSite + kLineEnd;
}

std::string Footer() {
    return std::string(kLineEnd) + kLineEnd + "————以上排盘结果由晴川四柱八字排盘系统排出，仅供娱乐！ " + kHomeSite +
           "————";
}

constexpr const char* kNightZiNotice =
    "——————以下排盘结果为夜子时排盘方式排出（仅影响夜子时即23~0点出生之人）——————\r\n\r\n";

}  // namespace

ChartResult ComposeChartResult(const Corvel_BZClass& engine, bool nightZi, Colouring colouring) {
    ChartResult result;
    static const std::string tail = ReminderBlock() + Footer();
    const std::string_view notice = nightZi ? kNightZiNotice : "";
    result.text.reserve(notice.size() + engine.OutputStr.size() + tail.size());
    result.text.append(notice).append(engine.OutputStr).append(tail);
    if (colouring == Colouring::Spans) result.spans = ColourSpans(result.text, engine);
    return result;
}

}  // namespace paipan
