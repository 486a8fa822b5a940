#include "chart/colour_spans.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>

#include "chart/chart_sections.h"
#include "chart/corvel_bzclass.h"
#include "util/utf8.h"

namespace paipan {
namespace {

// Collects the spans of one result text; byte offsets in, UTF-16 out.
class SpanList {
public:
    explicit SpanList(const std::string& text) : text_(text) {}

    // Colours `piece` where it starts at byte `at`. An empty piece colours
    // nothing and yields no span.
    void Add(std::size_t at, const std::string& piece, Rgb c) {
        if (piece.empty()) return;
        spans_.push_back({UnitsBefore(at), Utf16Length(piece), c.r, c.g, c.b});
    }
    // The first occurrence of `piece` (an empty piece is found at 0).
    std::optional<std::size_t> Find(const std::string& piece) const {
        const auto it = std::search(text_.begin(), text_.end(),
                                    std::boyer_moore_horspool_searcher(piece.begin(), piece.end()));
        if (it == text_.end() && !piece.empty()) return std::nullopt;
        return static_cast<std::size_t>(it - text_.begin());
    }
    void AddFirst(const std::string& piece, Rgb c) {
        if (auto at = Find(piece)) Add(*at, piece, c);
    }
    std::vector<ColourSpan> Take() { return std::move(spans_); }

private:
    // UTF-16 units of the text's first `at` bytes, counted on from the last
    // place asked for when that lies before (the pieces mostly come in order).
    int UnitsBefore(std::size_t at) {
        if (at < countedBytes_) countedBytes_ = 0, countedUnits_ = 0;
        countedUnits_ += Utf16Length(std::string_view(text_).substr(countedBytes_, at - countedBytes_));
        countedBytes_ = at;
        return countedUnits_;
    }

    const std::string& text_;
    std::vector<ColourSpan> spans_;
    std::size_t countedBytes_ = 0;
    int countedUnits_ = 0;
};

// The sections in print order, each where the table places it, then the
// reminder's title.
}  // namespace

std::vector<ColourSpan> ColourSpans(const std::string& text, const Corvel_BZClass& e) {
    SpanList list(text);
    std::optional<std::size_t> end;  // where the section before ends, when found
    for (const ChartSection& section : kChartSections) {
        const std::string& piece = e.*section.field;
        const auto at = section.place == SectionPlace::AfterPrevious ? end : list.Find(piece);
        if (at) list.Add(*at, piece, section.colour);
        end = at ? std::optional(*at + piece.size()) : std::nullopt;
    }
    list.AddFirst("特别提醒：", kRed);
    return list.Take();
}

}  // namespace paipan
