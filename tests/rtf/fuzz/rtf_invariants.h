#pragma once
// What must hold for any input to the RTF reader, checked by the fuzz target
// and by the quick mutation test: the reader answers exactly for RTF, its
// text is well-formed UTF-8 of bounded size in canonical runs, and writing
// the runs and reading them again gives the same runs.

#include <string>
#include <string_view>

#include "app/rtf/rtf_reader.h"
#include "app/rtf/rtf_writer.h"

namespace paipan::rtf::testing {

// Each input byte yields at most three bytes of text (a replacement character).
inline constexpr std::size_t kMaxTextBytesPerInputByte = 3;

// Well-formed UTF-8 after the table of RFC 3629 (written apart from the
// module's own decoder).
inline bool IsWellFormedUtf8(std::string_view text) {
    std::size_t i = 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const auto inRange = [&](std::size_t k, int low, int high) {
        return k < text.size() && byte(k) >= low && byte(k) <= high;
    };
    while (i < text.size()) {
        const unsigned char b = byte(i);
        int tail = 0, low = 0x80, high = 0xBF;
        if (b < 0x80) tail = 0;
        else if (b >= 0xC2 && b <= 0xDF) tail = 1;
        else if (b == 0xE0) tail = 2, low = 0xA0;
        else if (b == 0xED) tail = 2, high = 0x9F;
        else if (b >= 0xE1 && b <= 0xEF) tail = 2;
        else if (b == 0xF0) tail = 3, low = 0x90;
        else if (b == 0xF4) tail = 3, high = 0x8F;
        else if (b >= 0xF1 && b <= 0xF3) tail = 3;
        else return false;
        if (tail > 0 && !inRange(i + 1, low, high)) return false;
        for (int k = 2; k <= tail; ++k) {
            if (!inRange(i + static_cast<std::size_t>(k), 0x80, 0xBF)) return false;
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
