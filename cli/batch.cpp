#include "cli/batch.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "birth/birth_clock.h"
#include "birth/gazetteer.h"
#include "birth/notices.h"
#include "calendar/store.h"
#include "chart/chart_json.h"
#include "cli/error_json.h"
#include "cli/compact_json.h"
#include "chart/unknown_hour_json.h"
#include "util/program_folder.h"

namespace paipan {
namespace {

using json = nlohmann::ordered_json;

// A longer line is no chart request; it is skipped without being kept.
constexpr std::size_t kMaxLineBytes = 1 << 20;

// Reads lines through one fixed buffer; a line that crosses the buffer's end
// is put together in `joined_`.
class LineReader {
public:
    explicit LineReader(std::FILE* in) : in_(in), buffer_(1 << 16) {}

    // The next line without its LF (and CR), or nothing at the end. `tooLong`
    // tells that the line was longer than the limit and has been skipped.
    std::optional<std::string_view> Next(bool& tooLong) {
        tooLong = false;
        joined_.clear();
        bool any = false;
        for (;;) {
            if (pos_ == end_ && !Fill()) {
                if (!any) return std::nullopt;
                return Finish(joined_, tooLong);
            }
            any = true;
            const char* start = buffer_.data() + pos_;
            const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
            const std::size_t count = lf ? static_cast<std::size_t>(lf - start) : end_ - pos_;
            pos_ += count + (lf ? 1 : 0);
            if (lf && joined_.empty() && !tooLong) return Finish(std::string_view(start, count), tooLong);
            if (!tooLong) {
                joined_.append(start, count);
                if (joined_.size() > kMaxLineBytes) {
                    tooLong = true;
                    joined_.clear();
                }
            }
            if (lf) return Finish(joined_, tooLong);
        }
    }

private:
    bool Fill() {
        pos_ = 0;
        end_ = std::fread(buffer_.data(), 1, buffer_.size(), in_);
        return end_ > 0;
    }
    static std::string_view Finish(std::string_view line, bool tooLong) {
        if (tooLong) return {};
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    std::FILE* in_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
    std::string joined_;
};

std::string LineLabel(long long line) { return "第" + std::to_string(line) + "行"; }

json RequestError(long long line, const std::string& message, const std::optional<std::string>& key) {
    return ErrorJson("request", LineLabel(line) + message, key);
}

// The answer to one line and whether a data file failed on it.
struct BatchData {
    DataSource source;  // every data-file row read once for the whole batch
    const Gazetteer* gazetteer;
};

// A line with "unknown-hour": true: the 时辰不详 object (it takes no hour or minute).
json UnknownHourAnswer(const nlohmann::json& request, const ChartInput& input, const BatchData& data, long long line,
                       bool& dataFault) {
    for (const char* key : {"hour", "minute"})
        if (request.contains(key))
            return RequestError(line, "“unknown-hour”不能与“" + std::string(key) + "”同用。", key);
    const UnknownHourOutcome outcome = RunUnknownHourRequest(input, data.source, Colouring::None);
    if (const auto* problem = std::get_if<InputProblem>(&outcome)) return InputErrorJson(*problem);
    if (const auto* problem = std::get_if<DataProblem>(&outcome)) {
        dataFault = true;
        return ErrorJson("data", problem->message);
    }
    return UnknownHourJson(std::get<UnknownHourChart>(outcome));
}

json Answer(std::string_view text, bool tooLong, long long line, const ChartInput& defaults, const BatchData& data,
            const RequestKeyApplier& apply, bool& dataFault) {
    if (tooLong) return RequestError(line, "太长，不是一个排盘请求。", std::nullopt);
    const nlohmann::json request = nlohmann::json::parse(text, nullptr, false);
    if (!request.is_object()) return RequestError(line, "不是一个JSON对象。", std::nullopt);
    ChartInput input = defaults;
    for (const auto& [key, value] : request.items()) {
        if (auto problem = apply(input, key, value)) return RequestError(line, *problem, key);
    }
    if (data.gazetteer) SetClockOfNamedPlaces(input, data.gazetteer->AllNamed(input.place));
    if (input.unknownHour) return UnknownHourAnswer(request, input, data, line, dataFault);
    json answer;
    const ChartOutcome outcome = RunChartRequest(
        input, data.source,
        [&](const CheckedRequest& checked, const Corvel_BZClass& e, const ChartResult& r) {
            answer = ChartJson(e, r, NoticeTexts(NoticesOfChart(checked, {}, data.source, data.gazetteer, e)));
        },
        Colouring::None);
    if (const auto* problem = std::get_if<InputProblem>(&outcome)) return InputErrorJson(*problem);
    if (const auto* problem = std::get_if<DataProblem>(&outcome)) {
        dataFault = true;
        return ErrorJson("data", problem->message);
    }
    return answer;
}

}  // namespace

int RunBatch(std::FILE* in, std::FILE* out, const ChartInput& defaults, const RequestKeyApplier& apply) {
    DataRowCache cache;
    BatchData data{DataSource(ProgramFolder(), &cache), nullptr};
    std::optional<Gazetteer> gazetteer;
    try {
        gazetteer = Gazetteer::Load(data.source.folder / kGazetteerFileName);
        data.gazetteer = &*gazetteer;
    } catch (const DataError&) {
        // Without the gazetteer the notices that need it are left out.
    }
    LineReader reader(in);
    std::string encoded;
    bool tooLong = false;
    for (long long line = 1;; ++line) {
        const auto text = reader.Next(tooLong);
        if (!text) break;
        bool dataFault = false;
        json answer = Answer(*text, tooLong, line, defaults, data, apply, dataFault);
        answer["line"] = line;
        DumpCompact(answer, encoded);
        encoded += '\n';
        if (std::fwrite(encoded.data(), 1, encoded.size(), out) != encoded.size()) return 1;
        if (dataFault) {
            std::fprintf(stderr, "%s\n", answer["error"]["message"].get<std::string>().c_str());
            return std::fflush(out) == 0 ? 3 : 1;
        }
    }
    return std::fflush(out) == 0 && !std::ferror(in) ? 0 : 1;
}

}  // namespace paipan
