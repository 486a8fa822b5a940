// The chart's sections, one table for everything that goes by them: the
// order Main prints them in, the request switch that shows each, the public
// field of Corvel_BZClass that keeps it, the writer of its text and the
// colour the result box gives it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "chart/corvel_bzclass.h"

namespace paipan {

struct Rgb {
    std::uint8_t r, g, b;
};
inline constexpr Rgb kBlue{0, 0, 255}, kRed{255, 0, 0}, kGreen{0, 128, 0}, kBrown{192, 64, 0}, kMagenta{255, 0, 255};

// Where the result box finds a section to colour: its text's first
// occurrence, or right after the section before it (the pillar rows and the
// hidden stems follow the 乾造/坤造 label directly).
enum class SectionPlace { FirstOccurrence, AfterPrevious };

// The text of one section of the engine's chart; the luck rows start at
// `handoverYear`, the year of the luck handover. The minor-luck writer also
// keeps its pillars in the engine (xy_gz, xy_str).
using SectionWriter = std::string (*)(Corvel_BZClass& engine, int handoverYear);

struct ChartSection {
    const char* name;                    // what the section shows
    int PillarEngine::*toggle;           // shown only when this switch is 1; nullptr: always
    std::string Corvel_BZClass::*field;  // where Main keeps its text (empty when not shown)
    SectionWriter write;
    Rgb colour;
    SectionPlace place;
};

// Every section in print order (chart/chart_text.cpp).
extern const std::array<ChartSection, 16> kChartSections;

}  // namespace paipan
