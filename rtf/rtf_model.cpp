#include "rtf/rtf_model.h"

namespace paipan::rtf {

void AppendRun(RunList& runs, std::string_view text, const RunFormat& format) {
    if (text.empty()) {
        return;
    }
    if (!runs.empty() && runs.back().format == format) {
        runs.back().text.append(text);
        return;
    }
    runs.push_back(Run{std::string(text), format});
}

}  // namespace paipan::rtf
