#include "app/export_commands.h"

#include <QFileInfo>
#include <QPrinter>
#include <QTextEdit>
#include <QWidget>
#include <algorithm>

#include "app/interaction.h"
#include "render/document_export.h"
#include "app/texts.h"

namespace paipan {

ExportCommands::ExportCommands(QTextEdit& box, QWidget& window, Interaction& ui, QString programFolder)
    : box_(box), window_(window), ui_(ui), programFolder_(std::move(programFolder)) {}

void ExportCommands::complain(const QString& message) {
    ui_.showMessage(&window_, message, QString(kErrorCaption), MessageIcon::Critical);
}

void ExportCommands::paint(QPrinter& printer) {
    const auto copy = PrintableCopy(*box_.document(), PrintFontFamily(programFolder_));
    if (!PaintPages(*copy, printer)) complain(QString(kPrintFailed));
}

void ExportCommands::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (ui_.choosePrinter(&window_, printer)) paint(printer);
}

void ExportCommands::printPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    ui_.previewPrint(&window_, printer, [this](QPrinter* target) { paint(*target); });
}

QString ExportCommands::chooseTarget(const char* filter, const QString& suffix) {
    QString path = ui_.chooseSavePath(&window_, QString(filter));
    if (!path.isEmpty() && QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + suffix;
    return path;
}

void ExportCommands::exportPdf() {
    const QString path = chooseTarget(kPdfFilter, QStringLiteral("pdf"));
    QString error;
    if (!path.isEmpty() && !WritePdf(*box_.document(), path, PrintFontFamily(programFolder_), &error)) complain(error);
}

// Twice the screen's pixels at least, so that the picture stays sharp on a
// phone.
void ExportCommands::exportImage() {
    const QString path = chooseTarget(kImageFilter, QStringLiteral("png"));
    QString error;
    const double scale = 2.0 * std::max(1.0, window_.devicePixelRatioF());
    if (!path.isEmpty() && !WritePng(*box_.document(), path, scale, &error)) complain(error);
}

}  // namespace paipan
