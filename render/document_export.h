// A document on paper, in a PDF or in a picture, as the user sees it in the
// result box: their edits, fonts and colours. The chart's lines are never
// wrapped or cut: a document wider than the page is scaled down to fit, and
// pages break between lines.
#pragma once

#include <QString>
#include <memory>

class QPagedPaintDevice;
class QTextDocument;

namespace paipan {

// The print font's file beside the programs: the chart font prepared so that
// a PDF's text copies as the chart's own characters.
inline constexpr const char* kPrintFontFileName = "PaipanMonoSC.otf";

// Loads the print font from `folder` once; its family, or an empty text
// when the file is missing or unreadable (the chart font is used then).
QString PrintFontFamily(const QString& folder);

// A copy of `document` to put on a page: no line wrapping, and the chart
// font replaced by `printFamily` (when not empty) wherever it is used.
std::unique_ptr<QTextDocument> PrintableCopy(const QTextDocument& document, const QString& printFamily);

// Paints the document on the device's pages from its first page on. False
// when the device cannot be painted on.
bool PaintPages(QTextDocument& document, QPagedPaintDevice& device);

// A4 PDF of the document, written whole or not at all (an existing file of
// that name survives a failure). False with a Chinese reason in `error`.
bool WritePdf(const QTextDocument& document, const QString& path, const QString& printFamily, QString* error);

// PNG of the whole document on white at `scale` device pixels per screen
// pixel, written whole or not at all. False with a Chinese reason in `error`.
bool WritePng(const QTextDocument& document, const QString& path, double scale, QString* error);

}  // namespace paipan
