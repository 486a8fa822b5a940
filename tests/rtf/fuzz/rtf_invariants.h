#pragma once
// What must hold for any input to the RTF reader, checked by the fuzz target
// and by the quick mutation test: the reader answers exactly for RTF, its
// text is well-formed UTF-8 of bounded size in canonical runs, and writing
// the runs and reading them again gives the same runs.

#include <string>
#include <string_view>

#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

namespace paipan::rtf::testing {

// Each input byte yields at most three bytes of text (a replacement character).
inline constexpr std::size_t kMaxTextBytesPerInputByte = 3;

// Well-formed UTF-8 after the table of RFC 3629 (written apart from the
// module's own decoder).
inline bool IsWellFormedUtf8(std::string_view text) {
    const auto at = [&](std::size_t k) { return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u; };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned lead = at(i);
        const int tail = lead < 0x80 ? 0 : lead < 0xC2 ? -1 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : lead < 0xF5 ? 3 : -1;
        if (tail < 0) return false;
        // After E0, ED, F0 and F4 the second byte's range is narrower.
        const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        for (int k = 1; k <= tail; ++k) {
            const unsigned b = at(i + static_cast<std::size_t>(k));
            if (b < (k == 1 ? low : 0x80u) || b > (k == 1 ? high : 0xBFu)) return false;
        }
        i += static_cast<std::size_t>(tail) + 1;
    }
    return true;
}

inline std::string CheckRuns(const RunList& runs, std::size_t inputSize) {
    std::size_t textBytes = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& run = runs[i];
        textBytes += run.text.size();
        if (run.text.empty()) return "empty run";
        if (i > 0 && runs[i - 1].format == run.format) return "neighbouring runs share a format";
        if (run.text.find('\0') != std::string::npos) return "NUL in text";
        if (!IsWellFormedUtf8(run.text)) return "text is not UTF-8";
        if (!IsWellFormedUtf8(run.format.font)) return "font name is not UTF-8";
        if (run.format.font.size() > kMaxFontNameBytes) return "font name too long";
        if (run.format.pointSize < 0 || run.format.pointSize * 2 > kMaxHalfPoints) return "size out of range";
    }
    if (textBytes > kMaxTextBytesPerInputByte * inputSize) return "text larger than the input allows";
    return {};
}

// An empty answer when all holds, else what failed.
inline std::string CheckReader(std::string_view bytes) {
    const auto runs = ParseRtf(bytes);
    if (runs.has_value() != LooksLikeRtf(bytes)) return "answer differs from LooksLikeRtf";
    if (!runs) return {};
    if (std::string error = CheckRuns(*runs, bytes.size()); !error.empty()) return error;
    const std::string written = SerializeRtf(*runs);
    for (const char c : written) {
        if (static_cast<unsigned char>(c) >= 0x80) return "written RTF is not ASCII";
    }
    const auto again = ParseRtf(written);
    if (!again || *again != *runs) return "write then read changed the runs";
    return {};
}

}  // namespace paipan::rtf::testing
