// The result box on paper, in a PDF or in a picture: 打印…, 打印预览…,
// 导出为PDF… and 导出为图片… of the 文件 menu. Each takes the box's document
// as the user sees it, edits, fonts and colours included.
#pragma once

#include <QString>

class QPrinter;
class QTextEdit;
class QWidget;

namespace paipan {

class Interaction;

class ExportCommands {
public:
    // `programFolder` holds the print font.
    ExportCommands(QTextEdit& box, QWidget& window, Interaction& ui, QString programFolder);

    void print();
    void printPreview();
    void exportPdf();
    void exportImage();

private:
    void paint(QPrinter& printer);
    // The name chosen in a save dialog with `filter`, given `suffix` when it
    // has none; empty when the user cancelled.
    QString chooseTarget(const char* filter, const QString& suffix);
    void complain(const QString& message);

    QTextEdit& box_;
    QWidget& window_;
    Interaction& ui_;
    QString programFolder_;
};

}  // namespace paipan
