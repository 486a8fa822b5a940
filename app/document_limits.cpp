#include "app/document_limits.h"

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextEdit>
#include <algorithm>

#include "app/texts.h"
#include "util/utf8.h"

namespace paipan {

void TextSize::step(char32_t ch, int units) {
    if (ch == U'\n' && afterCr_) {  // the second half of CR LF
        afterCr_ = false;
        return;
    }
    afterCr_ = ch == U'\r';
    if (ch == U'\n' || ch == U'\r' || ch == 0x2029) {
        ++paragraphs_;
        current_ = 0;
        return;
    }
    characters_ += units;
    current_ += units;
    longest_ = std::max(longest_, current_);
}

void TextSize::add(QStringView text) {
    for (const QChar ch : text) step(ch.unicode());
}

// Counts characters by their first byte, in UTF-16 units as the box holds
// them (two for a character beyond U+FFFF, as add() counts its QChars);
// U+2029 is E2 80 A9.
void TextSize::addUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int units = Utf16Length(text.substr(i, 1));
        if (units == 0) continue;  // a continuation byte
        step(text.substr(i, 3) == "\xE2\x80\xA9" ? 0x2029 : static_cast<unsigned char>(text[i]), units);
    }
}

// What the box holds besides the pasted text; the paragraph at the caret
// grows by the pasted text's longest, which is the most it can grow by.
void TextSize::addBox(const QTextEdit& box) {
    const QTextDocument& doc = *box.document();
    paragraphs_ += doc.blockCount() - 1;
    characters_ += doc.characterCount() - 1;
    longest_ += box.textCursor().block().length() - 1;
}

std::optional<QString> SizeRefusal(const TextSize& size) {
    if (size.paragraphs() > kMaxParagraphs)
        return QString(kTooManyParagraphs).arg(size.paragraphs()).arg(kMaxParagraphs);
    if (size.characters() > kMaxCharacters)
        return QString(kTooManyCharacters).arg(size.characters()).arg(kMaxCharacters);
    if (size.longestParagraph() > kMaxParagraphCharacters)
        return QString(kParagraphTooLong).arg(size.longestParagraph()).arg(kMaxParagraphCharacters);
    return std::nullopt;
}

std::optional<QString> RtfRefusal(const rtf::RunList& runs, rtf::LimitPassed passed) {
    switch (passed) {
    case rtf::LimitPassed::Runs: return QString(kTooManyRuns).arg(kRtfLimits.runs);
    case rtf::LimitPassed::Fonts: return QString(kTooManyFonts).arg(kRtfLimits.fonts);
    case rtf::LimitPassed::None: break;
    }
    TextSize size;
    for (const rtf::Run& run : runs) size.addUtf8(run.text);
    return SizeRefusal(size);
}

std::optional<QString> PasteRefusal(const QTextEdit& box, const QString& text) {
    TextSize size;
    size.add(text);
    size.addBox(box);
    if (const std::optional<QString> reason = SizeRefusal(size)) return QString(kPasteTooLarge).arg(*reason);
    return std::nullopt;
}

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace paipan
