// The chart as a rich-text document, as 排盘 lays it into the result box:
// the chart font, the text with one paragraph per line, its coloured pieces.
// Qt Gui only, so the command line's picture and PDF output use it too.
#pragma once

#include <QFont>
#include <QString>
#include <memory>
#include <vector>

#include "chart/chart_request.h"

class QTextDocument;

namespace paipan {

// The box's default font: a CJK monospace font whose Chinese characters are
// exactly two Latin cells wide, so the chart's columns stand straight.
QFont ChartFont();

// A text with CR LF (or lone CR) line ends as the box holds it: one paragraph
// separator per line end. `positions[i]` is where position i of the original
// text lands (positions.size() == original length + 1).
struct BoxText {
    QString text;
    std::vector<int> positions;
};
BoxText ToBoxText(const QString& text);

// Replaces the document's content with the chart and colours its pieces;
// the document's default font stays as it is.
void FillChartDocument(QTextDocument& document, const ChartResult& chart);

// A new document holding the chart in the box's default font, as a freshly
// made chart stands in the box.
std::unique_ptr<QTextDocument> NewChartDocument(const ChartResult& chart);

}  // namespace paipan
