// The notices beside a 时辰不详 result. Those that hang on a birth minute (a
// jie term, a 时辰 edge, summer time) belong to the hour candidates and are
// left out; the default-longitude notice holds for the whole day.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "birth/notices.h"

namespace paipan {

std::vector<Notice> UnknownHourNotices(const ChartInput& input, const std::string& zone, const DataSource& data);
std::vector<std::string> UnknownHourNoticeTexts(const ChartInput& input, const std::string& zone,
                                                const DataSource& data);

}  // namespace paipan
