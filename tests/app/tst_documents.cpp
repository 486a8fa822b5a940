// The result box as a document: save and open in both formats, text files in
// the encodings Chinese users meet, failures that must not lose data, the
// plain-text clipboard, the font of the selection, and documents too large
// for the box.
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <unistd.h>

#include "app/document_limits.h"
#include "window_test.h"

using namespace paipan::testing;

namespace {

const QString kFilePrefix = QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）：");

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Select(QTextEdit* box, int from, int to) {
    QTextCursor c = box->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

}  // namespace

class DocumentTest : public WindowTestCase {
    Q_OBJECT

private slots:
    // Only the name's last three letters, in lower case, decide the format;
    // any other ending writes nothing, says so, and keeps the title.
    void saveThenOpen_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        // clang-format off
        QTest::newRow(".txt") << "chart.txt" << "txt";
        QTest::newRow(".TXT") << "CHART.TXT" << "txt";
        QTest::newRow("Chinese name") << "八字 结果.txt" << "txt";
        QTest::newRow(".rtf") << "chart.rtf" << "rtf";
        QTest::newRow("no extension") << "chart" << "";
        QTest::newRow(".doc") << "chart.doc" << "";
        QTest::newRow(".tx") << "chart.tx" << "";
        // clang-format on
    }
    void saveThenOpen() {
        QFETCH(QString, name);
        QFETCH(QString, format);
        const QString path = dir.filePath(name), text = QStringLiteral("乾造：　庚\n\n  ASCII 行");
        box->setPlainText(text);
        Select(box, text.size() - 1, text.size());
        box->setTextColor(Qt::red);
        ui->paths = {path};
        const QString title = window->windowTitle();
        trigger("mnuSave");
        if (format.isEmpty()) {
            QVERIFY(!QFile::exists(path));
            QCOMPARE(window->windowTitle(), title);
            QCOMPARE(ui->log.size(), 1);
            QVERIFY(ui->log[0].startsWith("提示 [information] ") && ui->log[0].contains(path) &&
                    ui->log[0].contains(".txt") && ui->log[0].contains(".rtf"));
            return;
        }
        QCOMPARE(ui->log, QStringList());
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
        const QByteArray bytes = ReadFile(path);
        if (format == "rtf")
            QVERIFY(bytes.startsWith("{\\rtf"));
        else  // UTF-8 without a byte-order mark, CR LF line ends
            QCOMPARE(bytes, QByteArray("\xE4\xB9\xBE\xE9\x80\xA0\xEF\xBC\x9A\xE3\x80\x80\xE5\xBA\x9A"
                                       "\r\n\r\n  ASCII \xE8\xA1\x8C"));
        trigger("mnuNew");
        QCOMPARE(box->toPlainText(), QString());
        QCOMPARE(window->windowTitle(), QStringLiteral("未命名"));
        ui->paths = {path};
        trigger("mnuOpen");
        QCOMPARE(ui->filters, QStringList(2, QStringLiteral("文本文档(*.txt);;RTF文档(*.rtf);;所有文件(*.*)")));
        QCOMPARE(box->toPlainText(), text);
        QCOMPARE(box->document()->blockCount(), 3);
        QCOMPARE(FormatAt(box, text.size() - 1).foreground().color(),
                 format == "rtf" ? QColor(Qt::red) : QColor(Qt::black));
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
    }

    void textEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");  // null: any text, as long as some shows
        const QString zhang = QStringLiteral("张三\n八字");
        QTest::newRow("GB18030 (GB2312 codes)") << QByteArray("\xD5\xC5\xC8\xFD\r\n\xB0\xCB\xD7\xD6") << zhang;
        QTest::newRow("GB18030 four-byte") << QByteArray("\x81\x30\x81\x30") << QStringLiteral("\u0080");
        QTest::newRow("UTF-8") << QByteArray("\xE5\xBC\xA0\xE4\xB8\x89\n\xE5\x85\xAB\xE5\xAD\x97") << zhang;
        QTest::newRow("UTF-8 with BOM") << QByteArray(
                                               "\xEF\xBB\xBF\xE5\xBC\xA0\xE4\xB8\x89\r\n\xE5\x85\xAB\xE5\xAD\x97")
                                        << zhang;
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\x20\x5F\x09\x4E\x0D\x00\x0A\x00\x6B\x51\x57\x5B", 14)
                                   << zhang;
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\x5F\x20\x4E\x09\x00\x0D\x00\x0A\x51\x6B\x5B\x57", 14)
                                   << zhang;
        QTest::newRow("old Mac line ends") << QByteArray("a\rb\rc") << QStringLiteral("a\nb\nc");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("");
        QByteArray junk;
        for (int i = 0; i < 4096; ++i) junk.append(static_cast<char>((i * 37 + 11) % 256));
        QTest::newRow("bytes that are no text") << junk << QString();
    }
    void textEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString path = dir.filePath("encoded.txt");
        WriteFile(path, bytes);
        ui->paths = {path};
        trigger("mnuOpen");
        QCOMPARE(ui->log, QStringList());
        if (text.isNull())
            QVERIFY(!box->toPlainText().isEmpty());
        else
            QCOMPARE(box->toPlainText(), text);
    }

    // A cancelled dialog changes nothing; a file that cannot be read or
    // written is named in a message, and the box and title stay.
    void failuresKeepTheBox_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");  // empty: the dialog is cancelled
        // clang-format off
        QTest::newRow("open cancelled") << "mnuOpen" << "";
        QTest::newRow("open a missing file") << "mnuOpen" << "gone.txt";
        QTest::newRow("open a folder") << "mnuOpen" << ".";
        QTest::newRow("save cancelled") << "mnuSave" << "";
        QTest::newRow("save onto a folder") << "mnuSave" << "folder.rtf";
        QTest::newRow("font cancelled") << "mnufont" << "";
        // clang-format on
    }
    void failuresKeepTheBox() {
        QFETCH(QString, command);
        QFETCH(QString, name);
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (command == "mnuSave" && !path.isEmpty()) QVERIFY(QDir(dir.path()).mkdir(name));
        box->setPlainText(QStringLiteral("保留"));
        const QString title = window->windowTitle();
        ui->paths = {path};
        trigger(qPrintable(command));
        QCOMPARE(box->toPlainText(), QStringLiteral("保留"));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(ui->colourDialogs, 0);
        QCOMPARE(ui->log.size(), path.isEmpty() ? 0 : 1);
        QVERIFY(path.isEmpty() || (ui->log[0].startsWith("错误 [critical] ") && ui->log[0].contains(path)));
        QVERIFY(QFileInfo(path).isDir() || !QFile::exists(path));
    }

    // A document beyond what the box takes is refused whole, before the box
    // or the title change; one at the limits comes in.
    void tooLargeDocuments_data() {
        QTest::addColumn<QString>("command");  // txt, rtf: open a file; paste, drop: its text
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");  // part of the message; empty: taken
        QTest::addColumn<int>("paragraphs");   // of the box, when taken
        const auto fonts = [](int count) {
            QByteArray rtf = "{\\rtf1{\\fonttbl";
            for (int i = 0; i < count; ++i) rtf += "{\\f" + QByteArray::number(i) + " F;}";
            return rtf + "}\\f7 x}";
        };
        const QByteArray pars = QByteArray("\\par ").repeated(100000), line(10000, 'x');
        QTest::newRow("text at the paragraph limit") << "txt" << QByteArray("\r\n").repeated(99999) << "" << 100000;
        QTest::newRow("text, one paragraph more") << "txt" << QByteArray(100000, '\n') << "有100001个段落" << 0;
        QTest::newRow("text, longest paragraph") << "txt" << line + "\n"
                                                 << "" << 2;
        QTest::newRow("text, a paragraph too long") << "txt" << line + "\xE5\xAD\x97"
                                                    << "有10001个字符" << 0;
        QTest::newRow("text, too many characters")
            << "txt" << (line.left(9999) + '\n').repeated(1001) << "有10008999个字符" << 0;
        QTest::newRow("RTF, one paragraph more") << "rtf"
                                                 << "{\\rtf1 " + pars + "}"
                                                 << "有100001个段落" << 0;
        QTest::newRow("RTF, too many runs") << "rtf"
                                            << "{\\rtf1 " + QByteArray("{\\b a}b{\\b c}d\\par ").repeated(50001) + "}"
                                            << "格式不同的文字段超过200000个" << 0;
        QTest::newRow("RTF at the font limit") << "rtf" << fonts(1000) << "" << 1;
        QTest::newRow("RTF, one font more") << "rtf" << fonts(1001) << "字体表中的字体超过1000种" << 0;
        // The box holds two paragraphs before a paste or a drop.
        QTest::newRow("paste at the paragraph limit") << "paste" << QByteArray(99998, '\n') << "" << 100000;
        QTest::newRow("paste, one paragraph more") << "paste" << QByteArray(99999, '\n') << "有100001个段落" << 0;
        QTest::newRow("drop, one paragraph more") << "drop" << QByteArray(99999, '\n') << "有100001个段落" << 0;
    }
    void tooLargeDocuments() {
        QFETCH(QString, command);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        QFETCH(int, paragraphs);
        box->setPlainText(QStringLiteral("保\n留"));
        const QString title = window->windowTitle(), path = dir.filePath("big." + command);
        const bool open = command == "txt" || command == "rtf";
        QMimeData data;
        data.setText(QString::fromUtf8(bytes));
        if (open) {
            WriteFile(path, bytes);
            ui->paths = {path};
            trigger("mnuOpen");
        } else if (command == "paste") {
            QGuiApplication::clipboard()->setText(data.text());
            trigger("mnuPaste");
        } else {
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(box->viewport(), &enter);
            QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(box->viewport(), &drop);
        }
        QVERIFY(!QGuiApplication::overrideCursor());
        if (refusal.isEmpty()) {
            QCOMPARE(ui->log, QStringList());
            QCOMPARE(box->document()->blockCount(), paragraphs);
            QCOMPARE(window->windowTitle(), open ? kFilePrefix + path : title);
            return;
        }
        QCOMPARE(box->toPlainText(), QStringLiteral("保\n留"));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(ui->log.size(), 1);
        QVERIFY2(ui->log[0].startsWith(open ? "错误 [critical] " : "提示 [information] ") &&
                     ui->log[0].contains(refusal) && (!open || ui->log[0].contains(path)),
                 qPrintable(ui->log[0]));
    }

    // The three limits, each at its value and one over, counted the way the
    // box holds text: CR LF, a lone CR, LF and U+2029 end a paragraph and
    // are no characters; UTF-8 counts characters, not bytes; a paste adds
    // to the box's own paragraphs, characters and the paragraph at its caret.
    void sizeLimits_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");  // whole; empty: taken
        const QString line(10000, u'字');
        QTest::newRow("10 000 characters in a paragraph") << line + "\r\n" + line << "";
        QTest::newRow("10 001") << line + u'字' << "其中一个段落有10001个字符，本程序能显示的段落最长10000个字符。";
        QTest::newRow("10 000 000 characters") << (line + "\n").repeated(999) + line << "";
        QTest::newRow("10 000 001") << (line + "\r").repeated(999) + line + u'字'
                                    << "有10000001个字符，本程序最多能显示10000000个字符。";
        QTest::newRow("100 000 paragraphs, CR LF") << QString("\r\n").repeated(99999) << "";
        QTest::newRow("100 001, lone CRs")
            << QString(100000, u'\r') << "有100001个段落，本程序最多能显示100000个段落。";
        QTest::newRow("100 001, CR then text")
            << QString("\rx").repeated(100000) << "有100001个段落，本程序最多能显示100000个段落。";
        QTest::newRow("100 001, U+2029") << QString(100000, QChar(0x2029))
                                         << "有100001个段落，本程序最多能显示100000个段落。";
        // The box counts UTF-16 units: a character beyond U+FFFF is a surrogate pair.
        const QString pairs = QString::fromUtf8("😀").repeated(5000);
        QTest::newRow("5 000 surrogate pairs in a paragraph") << pairs << "";
        QTest::newRow("5 000 pairs and one")
            << pairs + u'a' << "其中一个段落有10001个字符，本程序能显示的段落最长10000个字符。";
    }
    void sizeLimits() {
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        paipan::TextSize size, utf8;
        size.add(text);
        utf8.addUtf8(text.toStdString());
        QCOMPARE(paipan::SizeRefusal(size).value_or(QString()), refusal);
        QCOMPARE(paipan::SizeRefusal(utf8).value_or(QString()), refusal);
        QCOMPARE(std::make_tuple(utf8.paragraphs(), utf8.characters(), utf8.longestParagraph()),
                 std::make_tuple(size.paragraphs(), size.characters(), size.longestParagraph()));
    }

    // A paste at the caret: the box's paragraph there grows by the pasted
    // text's longest line.
    void pasteAtTheCaret() {
        QTextEdit edit;
        edit.setPlainText(QString(4000, u'a') + "\n" + QString(6000, u'b'));
        QTextCursor caret(edit.document());
        caret.setPosition(10);
        edit.setTextCursor(caret);
        QCOMPARE(paipan::PasteRefusal(edit, QString(6000, u'c')), std::nullopt);
        QCOMPARE(paipan::PasteRefusal(edit, QString(6001, u'c')).value_or(QString()),
                 QStringLiteral(
                     "没有粘贴：粘贴后的文档太大，其中一个段落有10001个字符，本程序能显示的段落最长10000个字符。\n"
                     "结果框中的内容保持不变。"));
        caret.movePosition(QTextCursor::End);
        edit.setTextCursor(caret);
        QCOMPARE(paipan::PasteRefusal(edit, QString(4000, u'c')), std::nullopt);
        QVERIFY(paipan::PasteRefusal(edit, QString(4001, u'c')).has_value());
        QCOMPARE(paipan::PasteRefusal(edit, QString(99998, u'\n')), std::nullopt);
        QVERIFY(paipan::PasteRefusal(edit, QString(99999, u'\n')).has_value());
    }

    // A save that cannot write says so and keeps the old file. The save runs
    // as an unprivileged user, so that the folder's permissions hold for root.
    void failedSaveKeepsTheOldFile() {
        QTemporaryDir locked;
        const QString path = locked.filePath("old.txt");
        WriteFile(path, "old content");
        QVERIFY(QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                         QFileDevice::ReadOther | QFileDevice::ExeOther));
        box->setPlainText(QStringLiteral("新内容"));
        const QString title = window->windowTitle();
        ui->paths = {path};
        const bool root = geteuid() == 0;
        QVERIFY(!root || seteuid(65534) == 0);
        trigger("mnuSave");
        QVERIFY(!root || seteuid(0) == 0);
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(ui->log.size(), 1);
        QVERIFY(ui->log[0].startsWith("错误 [critical] ") && ui->log[0].contains(path));
        QCOMPARE(ReadFile(path), QByteArray("old content"));
        QCOMPARE(window->windowTitle(), title);
    }

    // Plain text only, the clipboard cleared first; the keys in the box run
    // the same commands.
    void clipboard() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("旧"));
        box->setHtml(QStringLiteral("<p>甲<b>乙</b><span style='color:red'>丙</span></p><p>丁</p>"));
        Select(box, 0, 0);
        trigger("mnuCopy");
        QCOMPARE(clipboard->text(), QString());
        Select(box, 1, 5);
        trigger("mnuCopy");
        QCOMPARE(clipboard->text(), QStringLiteral("乙丙\n丁"));
        QCOMPARE(clipboard->mimeData()->formats(), QStringList{"text/plain"});
        QCOMPARE(box->toPlainText(), QStringLiteral("甲乙丙\n丁"));
        Select(box, 1, 3);
        trigger("mnuCut");
        QCOMPARE(clipboard->text(), QStringLiteral("乙丙"));
        QCOMPARE(box->toPlainText(), QStringLiteral("甲\n丁"));
        Select(box, 0, 1);
        trigger("mnuPaste");
        QCOMPARE(box->toPlainText(), QStringLiteral("乙丙\n丁"));
        clipboard->setText(QStringLiteral("子\r\n丑"));
        Select(box, 4, 4);
        trigger("mnuPaste");
        QCOMPARE(box->toPlainText(), QStringLiteral("乙丙\n丁子\n丑"));
        trigger("mnuSelectAll");
        QCOMPARE(box->textCursor().selectionStart(), 0);
        QCOMPARE(box->textCursor().selectionEnd(), 7);

        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        Select(box, 0, 0);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QString());
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("乙丙\n丁子\n丑"));
        QCOMPARE(box->toPlainText(), QString());
    }

    void fontOfTheSelection() {
        box->setPlainText(QStringLiteral("甲乙丙丁"));
        const QTextCharFormat untouched = FormatAt(box, 0);
        QFont chosen(QStringLiteral("Noto Serif CJK SC"), 16);
        chosen.setBold(true);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        ui->font = chosen;
        ui->colour = QColor(0, 128, 0);
        Select(box, 1, 3);
        trigger("mnufont");
        for (int pos : {1, 2}) {
            const QTextCharFormat f = FormatAt(box, pos);
            QCOMPARE(f.fontFamilies().toStringList().value(0), QStringLiteral("Noto Serif CJK SC"));
            QCOMPARE(f.fontPointSize(), 16.0);
            QCOMPARE(f.fontWeight(), int(QFont::Bold));
            QVERIFY(f.fontItalic() && f.fontUnderline() && f.fontStrikeOut());
            QCOMPARE(f.foreground().color(), QColor(0, 128, 0));
        }
        QCOMPARE(FormatAt(box, 0), untouched);
        QCOMPARE(FormatAt(box, 3), untouched);
        // Colour dialog cancelled: the font still applies, the colour stays.
        ui->colour.reset();
        chosen.setBold(false);
        ui->font = chosen;
        Select(box, 0, 1);
        trigger("mnufont");
        QCOMPARE(FormatAt(box, 0).fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatAt(box, 0).foreground(), untouched.foreground());

        // A later chart starts from the default look, whatever was at the caret.
        ui->colour = QColor(255, 0, 255);
        trigger("mnuSelectAll");
        trigger("mnufont");
        SetControls(*window, paipan::DefaultChartInput(1990, 5, 8, 14, 5));
        window->chartFromPanel();
        QCOMPARE(ui->log, QStringList());
        const QTextCharFormat first = FormatAt(box, 0);
        QVERIFY(first.foreground().style() == Qt::NoBrush || first.foreground().color() != QColor(255, 0, 255));
        QVERIFY(!first.hasProperty(QTextFormat::FontPointSize));
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(DocumentTest)
#include "tst_documents.moc"
