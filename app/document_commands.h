// The result box as an ordinary document: new, open, save, the clipboard
// commands and the font of the selection. Every dialog and message goes
// through the Interaction, so nothing here blocks a test.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>

class QTextEdit;
class QWidget;

namespace paipan {

class Interaction;

class DocumentCommands {
public:
    // `window` gives the dialogs their parent and shows the file in its title.
    DocumentCommands(QTextEdit& box, QWidget& window, Interaction& ui);

    void newDocument();
    void open();
    void save();
    void copy();
    void cut();
    void paste();
    void selectAll();
    void font();

private:
    bool load(const QString& path);
    QString loadText(const QString& path, const QByteArray& bytes);
    QString loadRtf(const QString& path, std::string_view bytes);
    bool write(const QString& path, const QByteArray& bytes);
    void complain(const QString& message);

    QTextEdit& box_;
    QWidget& window_;
    Interaction& ui_;
};

// Reads a whole document file; files above a size limit are refused.
// On failure returns nothing and puts a Chinese reason into `error`.
std::optional<QByteArray> ReadDocumentFile(const QString& path, QString* error);

// A plain-text file's characters: UTF-8 or UTF-16 after a byte-order mark,
// UTF-8 when the bytes are valid UTF-8, otherwise GB18030 (the encoding of
// Chinese text files written without one).
QString DecodeText(const QByteArray& bytes);

// The box's text as a plain-text file: UTF-8 with CR LF line ends.
QByteArray PlainTextFileBytes(const QTextEdit& box);

}  // namespace paipan
