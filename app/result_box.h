// The rich-text result box: the chart goes in here, and the document
// commands treat it as an ordinary editable document.
#pragma once

#include <QFont>
#include <QTextEdit>

#include "render/chart_document.h"
#include "chart/chart_request.h"

namespace paipan {

class ResultBox : public QTextEdit {
    Q_OBJECT
public:
    explicit ResultBox(QWidget* parent = nullptr);

signals:
    // The right mouse button went down in the box (the place for the 编辑 menu).
    void rightButtonPressed(const QPoint& globalPos);
    // Dropped text was not taken: the box would grow beyond its limits.
    void insertRefused(const QString& message);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Drag and drop carries plain text only, like the 编辑 commands.
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// Replaces the whole content with plain text in the default font and colour.
void SetPlainBoxText(QTextEdit& box, const QString& text);

// Replaces the whole content with the chart, colours its pieces and puts the
// caret at the start.
void ShowChart(QTextEdit& box, const ChartResult& chart);

}  // namespace paipan
