// The rich-text result box: the chart goes in here, and the document
// commands treat it as an ordinary editable document.
#pragma once

#include <QFont>
#include <QTextEdit>
#include <vector>

#include "chart/chart_request.h"

namespace paipan {

class ResultBox : public QTextEdit {
    Q_OBJECT
public:
    explicit ResultBox(QWidget* parent = nullptr);

signals:
    // The right mouse button went down in the box (the place for the 编辑 menu).
    void rightButtonPressed(const QPoint& globalPos);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Drag and drop carries plain text only, like the 编辑 commands.
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
};

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

// Replaces the whole content with plain text in the default font and colour.
void SetPlainBoxText(QTextEdit& box, const QString& text);

// Replaces the whole content with the chart, colours its pieces and puts the
// caret at the start.
void ShowChart(QTextEdit& box, const ChartResult& chart);

}  // namespace paipan
