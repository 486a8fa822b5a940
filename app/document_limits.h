// How large a document the result box takes. The box lays out every
// paragraph whenever its content is replaced, shapes a whole paragraph on
// each paint, and keeps a format object for each run of text and a font
// match for each font, so each of these is bounded far above any chart
// (a chart has about 60 short paragraphs, a few dozen runs and one or two
// fonts) and below where the window stops answering. Open and Paste refuse
// a larger document as a whole, before the box changes.
#pragma once

#include <QString>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <string_view>

#include "rtf/rtf_reader.h"

class QTextEdit;

namespace paipan {

inline constexpr qsizetype kMaxParagraphs = 100'000;
inline constexpr qsizetype kMaxCharacters = 10'000'000;
inline constexpr qsizetype kMaxParagraphCharacters = 10'000;
inline constexpr rtf::ReadLimits kRtfLimits{.runs = 200'000, .fonts = 1'000};

// Paragraphs and characters of a text as the box would hold it: CR LF, a
// lone CR, LF and U+2029 each end a paragraph.
class TextSize {
public:
    void add(QStringView text);
    void addUtf8(std::string_view text);
    // The box's own content around a paste at its caret.
    void addBox(const QTextEdit& box);

    qsizetype paragraphs() const { return paragraphs_; }
    qsizetype characters() const { return characters_; }
    qsizetype longestParagraph() const { return longest_; }

private:
    void step(char32_t ch, int units = 1);  // units: UTF-16 units of ch

    qsizetype paragraphs_ = 1;
    qsizetype characters_ = 0;
    qsizetype longest_ = 0;
    qsizetype current_ = 0;  // characters of the paragraph being counted
    bool afterCr_ = false;
};

// Why the box does not take a text of this size; nothing when it does.
std::optional<QString> SizeRefusal(const TextSize& size);
// The same for an RTF file's runs, read with kRtfLimits.
std::optional<QString> RtfRefusal(const rtf::RunList& runs, rtf::LimitPassed passed);
// The same for `text` pasted at the box's caret, whole message.
std::optional<QString> PasteRefusal(const QTextEdit& box, const QString& text);

// The wait cursor for as long as it lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace paipan
