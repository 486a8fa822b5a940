#include "birth/unknown_hour_notices.h"

namespace paipan {

std::vector<Notice> UnknownHourNotices(const ChartInput& input, const std::string& zone, const DataSource& data) {
    // Any minute of the day passes the hour and minute checks.
    ChartInput noon = input;
    noon.unknownHour = false;
    noon.hour = "12";
    noon.minute = "0";
    std::vector<Notice> notices = ChartNotices(noon, zone, data);
    std::erase_if(notices, [](const Notice& n) { return n.kind != NoticeKind::DefaultLongitude; });
    return notices;
}

std::vector<std::string> UnknownHourNoticeTexts(const ChartInput& input, const std::string& zone,
                                                const DataSource& data) {
    return NoticeTexts(UnknownHourNotices(input, zone, data));
}

}  // namespace paipan
