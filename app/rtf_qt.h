#pragma once
// RTF files in and out of a QTextDocument, through the module's own reader
// and writer (the document's text, fonts, sizes, colours and styles).

#include <QByteArray>
#include <QString>

#include "rtf/rtf_model.h"

class QTextDocument;

namespace paipan {

// Replaces doc's content with the RTF file's text and formatting. Returns false
// with a Chinese message in *error when the bytes are not RTF at all; a damaged
// or truncated file loads as far as it can (returns true).
bool ReadRtf(const QByteArray& bytes, QTextDocument* doc, QString* error);

// Replaces doc's content with the runs, one block per paragraph, as one step
// that cannot be undone.
void FillDocument(const rtf::RunList& runs, QTextDocument* doc);

// The whole document as RTF (fonts, sizes, colours, bold/italic/underline/strike,
// paragraphs), Chinese as \uN with a '?' fallback, ASCII-only output.
QByteArray WriteRtf(const QTextDocument& doc);

}  // namespace paipan
