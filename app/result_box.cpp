#include "app/result_box.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocumentFragment>
#include <QTextCursor>

#include "app/document_limits.h"

namespace paipan {

ResultBox::ResultBox(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The right button opens the window's own 编辑 menu instead.
    setContextMenuPolicy(Qt::NoContextMenu);
    setFont(ChartFont());
}

// Copy, cut, paste and select all are the window's 编辑 commands (plain
// text, the clipboard cleared first): the box lets their shortcuts through
// instead of running its own.
bool ResultBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        for (QKeySequence::StandardKey command :
             {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::SelectAll}) {
            if (key->matches(command)) {
                event->ignore();
                return true;
            }
        }
    }
    return QTextEdit::event(event);
}

QMimeData* ResultBox::createMimeDataFromSelection() const {
    auto* data = new QMimeData;  // handed to the drag, which owns it
    data->setText(textCursor().selection().toPlainText());
    return data;
}

// The same limits as the 粘贴 command.
void ResultBox::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) return;
    const QString text = source->text();
    if (const std::optional<QString> refusal = PasteRefusal(*this, text)) {
        emit insertRefused(*refusal);
        return;
    }
    BusyCursor busy;
    textCursor().insertText(ToBoxText(text).text);
}

void ResultBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        emit rightButtonPressed(event->globalPosition().toPoint());
        return;
    }
    QTextEdit::mousePressEvent(event);
}

void SetPlainBoxText(QTextEdit& box, const QString& text) {
    // Through the document: the edit's own setPlainText would give the whole
    // new text the character format at the caret (a colour, a chosen font).
    box.document()->setPlainText(ToBoxText(text).text);
    box.setTextCursor(QTextCursor(box.document()));
}

void ShowChart(QTextEdit& box, const ChartResult& chart) {
    FillChartDocument(*box.document(), chart);
    box.setTextCursor(QTextCursor(box.document()));
}

}  // namespace paipan
