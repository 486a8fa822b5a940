#include "render/chart_document.h"

#include <QFontDatabase>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "chart/chart_pieces.h"
#include "render/screen_dpi.h"

namespace paipan {

namespace {

QString ChartFontFamily() {
    const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    // Noto's monospace CJK family has half-width Latin cells; other "Mono"
    // CJK families are built the same way.
    for (const char* preferred : {kChartFontFamily, "WenQuanYi Zen Hei Mono"}) {
        if (families.contains(QString(preferred))) return QString(preferred);
    }
    for (const QString& family : families) {
        if (family.contains(QStringLiteral("Mono")) || QFontDatabase::isFixedPitch(family)) return family;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

}  // namespace

// About 9 points, rounded to an even number of pixels so that a Latin
// cell is a whole pixel and two of them exactly one Chinese character.
QFont ChartFont() {
    const double dpi = ScreenDpi();
    const int pixels = std::max(2, 2 * static_cast<int>(std::lround(9.0 * dpi / 72.0 / 2.0)));
    QFont font(ChartFontFamily());
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSizeF(pixels * 72.0 / dpi);
    return font;
}

BoxText ToBoxText(const QString& text) {
    BoxText out;
    out.text.reserve(text.size());
    out.positions.reserve(static_cast<size_t>(text.size()) + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out.positions.push_back(static_cast<int>(out.text.size()));
        const QChar ch = text.at(i);
        if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;  // the LF that follows carries the line end
        out.text.append(ch == u'\r' ? QChar(u'\n') : ch);
    }
    out.positions.push_back(static_cast<int>(out.text.size()));
    return out;
}

namespace {

void Colour(QTextDocument& document, int start, int end, const QColor& colour) {
    QTextCursor cursor(&document);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setForeground(colour);
    cursor.mergeCharFormat(format);
}

}  // namespace

void FillChartDocument(QTextDocument& document, const ChartResult& chart) {
    const BoxText boxText = ToBoxText(QString::fromStdString(chart.text));
    document.setPlainText(boxText.text);
    const int last = static_cast<int>(boxText.positions.size()) - 1;
    for (const ColourSpan& span : chart.spans) {
        if (span.length <= 0) continue;
        const int start = std::clamp(span.start, 0, last);
        const int end = std::clamp(span.start + span.length, start, last);
        Colour(document, boxText.positions[static_cast<size_t>(start)], boxText.positions[static_cast<size_t>(end)],
               QColor(span.red, span.green, span.blue));
    }
}

std::unique_ptr<QTextDocument> NewChartDocument(const ChartResult& chart) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(ChartFont());
    FillChartDocument(*document, chart);
    return document;
}

}  // namespace paipan
