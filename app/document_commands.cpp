#include "app/document_commands.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include "app/document_limits.h"
#include "app/interaction.h"
#include "app/result_box.h"
#include "app/rtf_qt.h"
#include "app/texts.h"

namespace paipan {

namespace {

// Larger files are not documents this program wrote or can show usefully.
constexpr qint64 kMaxDocumentBytes = 64 * 1024 * 1024;

QString FileTitle(const QString& path) { return QString(kFileTitlePrefix) + path; }

QString Quoted(const QString& path) { return QStringLiteral("“%1”").arg(path); }

// The clipboard carries plain text only: what was there goes first.
void PutOnClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace

std::optional<QByteArray> ReadDocumentFile(const QString& path, QString* error) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        *error = QString(kFileUnreadable);
        return std::nullopt;
    }
    if (file.size() > kMaxDocumentBytes) {
        *error = QString(kFileTooLargeToOpen);
        return std::nullopt;
    }
    QByteArray bytes = file.read(kMaxDocumentBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxDocumentBytes) {
        *error = QString(kFileReadError) + file.errorString();
        return std::nullopt;
    }
    return bytes;
}

QString DecodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF")) return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.mid(2));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder gb18030("GB18030");
    if (gb18030.isValid()) return gb18030.decode(bytes);
    return QString::fromLocal8Bit(bytes);
}

QByteArray PlainTextFileBytes(const QTextEdit& box) {
    QString text = box.document()->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text.toUtf8();
}

DocumentCommands::DocumentCommands(QTextEdit& box, QWidget& window, Interaction& ui)
    : box_(box), window_(window), ui_(ui) {}

void DocumentCommands::complain(const QString& message) {
    ui_.showMessage(&window_, message, QString(kErrorCaption), MessageIcon::Critical);
}

void DocumentCommands::newDocument() {
    SetPlainBoxText(box_, QString());
    window_.setWindowTitle(QString(kNewTitle));
}

void DocumentCommands::open() {
    const QString path = ui_.chooseOpenPath(&window_, QString(kFileFilter));
    if (path.isEmpty()) return;
    if (load(path)) window_.setWindowTitle(FileTitle(path));
}

// The box changes only when the whole file was read, understood and found
// small enough for it. The wait cursor goes before any message shows.
bool DocumentCommands::load(const QString& path) {
    QString error;
    const std::optional<QByteArray> bytes = ReadDocumentFile(path, &error);
    if (!bytes) {
        complain(QString(kCannotOpen).arg(Quoted(path), error));
        return false;
    }
    QString problem;
    {
        BusyCursor busy;
        // The RTF reader decides what counts as RTF, so Open and the reader agree.
        const std::string_view head(bytes->constData(), static_cast<std::size_t>(bytes->size()));
        problem = rtf::LooksLikeRtf(head) ? loadRtf(path, head) : loadText(path, *bytes);
    }
    if (problem.isEmpty()) return true;
    complain(problem);
    return false;
}

// Each returns the message when the file stays out of the box, else nothing.
QString DocumentCommands::loadText(const QString& path, const QByteArray& bytes) {
    const QString text = DecodeText(bytes);
    TextSize size;
    size.add(text);
    if (const std::optional<QString> reason = SizeRefusal(size))
        return QString(kOpenTooLarge).arg(Quoted(path), *reason);
    SetPlainBoxText(box_, text);
    return {};
}

QString DocumentCommands::loadRtf(const QString& path, std::string_view bytes) {
    rtf::LimitPassed passed = rtf::LimitPassed::None;
    const std::optional<rtf::RunList> runs = rtf::ParseRtf(bytes, kRtfLimits, &passed);
    if (!runs) return QString(kNotRtf).arg(Quoted(path));
    if (const std::optional<QString> reason = RtfRefusal(*runs, passed))
        return QString(kOpenTooLarge).arg(Quoted(path), *reason);
    // Straight into the box: a copy through a second document and a
    // fragment would cost as much again as the reading.
    FillDocument(*runs, box_.document());
    box_.setTextCursor(QTextCursor(box_.document()));
    return {};
}

// The chosen name's last three characters decide the format, and the name is
// used as typed. Any other ending writes nothing and says so, with the title
// left as it was: the chart is not saved, and must not look saved.
void DocumentCommands::save() {
    const QString path = ui_.chooseSavePath(&window_, QString(kFileFilter));
    if (path.isEmpty()) return;
    const QString ending = QFileInfo(path).fileName().right(3).toLower();
    bool saved = false;
    if (ending == QLatin1String("txt"))
        saved = write(path, PlainTextFileBytes(box_));
    else if (ending == QLatin1String("rtf"))
        saved = write(path, WriteRtf(*box_.document()));
    else
        ui_.showMessage(&window_, QString(kUnknownEnding).arg(Quoted(path)), QString(kHintCaption),
                        MessageIcon::Information);
    if (saved) window_.setWindowTitle(FileTitle(path));
}

// Through a temporary file beside the target: a failed save leaves the old
// file as it was.
bool DocumentCommands::write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    complain(QString(kCannotSave).arg(Quoted(path), reason));
    return false;
}

void DocumentCommands::copy() { PutOnClipboard(box_.textCursor().selection().toPlainText()); }

void DocumentCommands::cut() {
    QTextCursor cursor = box_.textCursor();
    PutOnClipboard(cursor.selection().toPlainText());
    cursor.removeSelectedText();
    box_.setTextCursor(cursor);
}

void DocumentCommands::paste() {
    const QString text = QGuiApplication::clipboard()->text();
    if (const std::optional<QString> refusal = PasteRefusal(box_, text)) {
        ui_.showMessage(&window_, *refusal, QString(kHintCaption), MessageIcon::Information);
        return;
    }
    BusyCursor busy;
    QTextCursor cursor = box_.textCursor();
    cursor.insertText(ToBoxText(text).text);
    box_.setTextCursor(cursor);
}

void DocumentCommands::selectAll() { box_.selectAll(); }

// The font dialog has no colour of its own: the colour dialog follows it.
void DocumentCommands::font() {
    const std::optional<QFont> chosen = ui_.chooseFont(&window_, box_.currentFont());
    if (!chosen) return;
    QTextCharFormat format;
    format.setFontFamilies({chosen->family()});
    if (chosen->pointSizeF() > 0) format.setFontPointSize(chosen->pointSizeF());
    format.setFontWeight(chosen->weight());
    format.setFontItalic(chosen->italic());
    format.setFontUnderline(chosen->underline());
    format.setFontStrikeOut(chosen->strikeOut());
    if (const std::optional<QColor> colour = ui_.chooseColour(&window_, box_.textColor()))
        format.setForeground(*colour);
    box_.mergeCurrentCharFormat(format);
}

}  // namespace paipan
