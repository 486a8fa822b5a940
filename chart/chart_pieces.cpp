#include "chart/chart_pieces.h"

#include <algorithm>
#include <string_view>

#include "util/utf8.h"

namespace paipan {

std::vector<TextPiece> SplitByColour(const ChartResult& chart) {
    const std::string& text = chart.text;
    // Byte offset of every UTF-16 unit; both halves of a surrogate pair map to
    // the start of their character. A lead byte gives its character's units,
    // a continuation byte none.
    std::vector<std::size_t> byteAt;
    byteAt.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i)
        byteAt.insert(byteAt.end(), static_cast<std::size_t>(Utf16Length(std::string_view(text).substr(i, 1))), i);
    const int units = static_cast<int>(byteAt.size());
    byteAt.push_back(text.size());

    std::vector<int> owner(static_cast<std::size_t>(units), -1);
    for (std::size_t s = 0; s < chart.spans.size(); ++s) {
        const ColourSpan& span = chart.spans[s];
        const int from = std::clamp(span.start, 0, units);
        const int to = std::clamp(span.start + std::max(span.length, 0), from, units);
        std::fill(owner.begin() + from, owner.begin() + to, static_cast<int>(s));
    }
    std::vector<TextPiece> pieces;
    for (int u = 0; u < units;) {
        int v = u + 1;
        while (v < units && owner[static_cast<std::size_t>(v)] == owner[static_cast<std::size_t>(u)]) ++v;
        const std::size_t begin = byteAt[static_cast<std::size_t>(u)];
        const std::size_t end = byteAt[static_cast<std::size_t>(v)];
        if (end > begin) pieces.push_back({begin, end, owner[static_cast<std::size_t>(u)]});
        u = v;
    }
    return pieces;
}

}  // namespace paipan
