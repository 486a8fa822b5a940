#pragma once
// The neutral document model shared by the RTF reader and writer: a list of
// runs of text, each with one character format. No Qt here, so the reader can
// be fuzzed and tested on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paipan::rtf {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct RunFormat {
    std::string font;           // family name in UTF-8; empty: the document's default
    double pointSize = 0;       // whole or half points; 0: the document's default
    std::optional<Rgb> colour;  // nullopt: the default (automatic) text colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const RunFormat&) const = default;
};

// Text in UTF-8. A paragraph ends with '\n', a line break inside a paragraph
// is U+2028, a tab '\t'.
struct Run {
    std::string text;
    RunFormat format;
    bool operator==(const Run&) const = default;
};

using RunList = std::vector<Run>;

// Appends `text` in `format`, joining it to the last run when the formats are
// equal, so that no two neighbouring runs share one format and no run is empty.
void AppendRun(RunList& runs, std::string_view text, const RunFormat& format);

}  // namespace paipan::rtf
