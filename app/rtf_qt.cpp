#include "app/rtf_qt.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QtGlobal>

#include "rtf/rtf_reader.h"
#include "rtf/rtf_writer.h"

namespace paipan {
namespace {

QTextCharFormat ToCharFormat(const rtf::RunFormat& format) {
    QTextCharFormat chars;
    if (!format.font.empty()) {
        chars.setFontFamilies(QStringList{QString::fromStdString(format.font)});
    }
    if (format.pointSize > 0) {
        chars.setFontPointSize(format.pointSize);
    }
    if (format.colour) {
        chars.setForeground(QColor(format.colour->red, format.colour->green, format.colour->blue));
    }
    chars.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    chars.setFontItalic(format.italic);
    chars.setFontUnderline(format.underline);
    chars.setFontStrikeOut(format.strike);
    return chars;
}

// The format a character is shown in: what its own format leaves open comes
// from the document's default font.
rtf::RunFormat FromCharFormat(const QTextCharFormat& chars, const QFont& defaultFont) {
    const QFont font = chars.font().resolve(defaultFont);
    rtf::RunFormat format;
    const QStringList families = font.families();
    format.font = (families.isEmpty() ? font.family() : families.first()).toStdString();
    format.pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : 0;
    const QBrush brush = chars.foreground();
    if (chars.hasProperty(QTextFormat::ForegroundBrush) && brush.style() != Qt::NoBrush) {
        const QColor colour = brush.color().toRgb();
        format.colour = rtf::Rgb{static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                                 static_cast<std::uint8_t>(colour.blue())};
    }
    format.bold = font.bold();
    format.italic = font.italic();
    format.underline = font.underline();
    format.strike = font.strikeOut();
    return format;
}

// Blocks become paragraphs ending in '\n' (none after the last); the break
// takes the format of the text before it.
rtf::RunList ToRuns(const QTextDocument& doc) {
    rtf::RunList runs;
    const QFont defaultFont = doc.defaultFont();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) {
            const rtf::RunFormat format = runs.empty() ? FromCharFormat(block.charFormat(), defaultFont)
                                                       : runs.back().format;
            rtf::AppendRun(runs, "\n", format);
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            rtf::AppendRun(runs, fragment.text().toStdString(), FromCharFormat(fragment.charFormat(), defaultFont));
        }
    }
    return runs;
}

}  // namespace

bool ReadRtf(const QByteArray& bytes, QTextDocument* doc, QString* error) {
    const auto runs = rtf::ParseRtf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!runs) {
        if (error != nullptr) {
            *error = QStringLiteral("文件内容不是RTF格式。");
        }
        return false;
    }
    Q_ASSERT(doc != nullptr);
    if (doc == nullptr) {
        return false;
    }
    FillDocument(*runs, doc);
    return true;
}

void FillDocument(const rtf::RunList& runs, QTextDocument* doc) {
    // Loading is not an edit the user could undo, as with setPlainText.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->clear();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (const rtf::Run& run : runs) {
        const QTextCharFormat chars = ToCharFormat(run.format);
        const QStringList paragraphs = QString::fromStdString(run.text).split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            if (i > 0) {
                cursor.insertBlock(QTextBlockFormat(), chars);
            }
            cursor.insertText(paragraphs[i], chars);
        }
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
}

QByteArray WriteRtf(const QTextDocument& doc) { return QByteArray::fromStdString(rtf::SerializeRtf(ToRuns(doc))); }

}  // namespace paipan
