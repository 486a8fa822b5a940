// The result box as a document: save and open in both formats, text files in
// the encodings Chinese users meet, failures that must not lose data, the
// plain-text clipboard and the font of the selection.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <unistd.h>

#include "app/main_window.h"
#include "shown_window.h"

using paipan::MainWindow;
using paipan::MessageIcon;
using paipan::testing::ScriptedInteraction;

namespace {

const QString kFilePrefix = QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）：");

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void Select(QTextEdit* box, int from, int to) {
    QTextCursor c = box->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

QTextCharFormat FormatAt(QTextEdit* box, int pos) {
    QTextCursor c(box->document());
    c.setPosition(pos + 1);
    return c.charFormat();
}

// While alive, the process acts as an unprivileged user, so that file
// permissions hold even for a test run as root.
class Unprivileged {
public:
    Unprivileged() : wasRoot_(geteuid() == 0) {
        if (wasRoot_)
            ok_ = seteuid(65534) == 0;
    }
    ~Unprivileged() {
        if (wasRoot_ && ok_)
            [[maybe_unused]] int ignored = seteuid(0);
    }
    bool ok() const { return ok_; }

private:
    bool wasRoot_;
    bool ok_ = true;
};

}  // namespace

class DocumentTest : public paipan::testing::WindowTestCase {
    Q_OBJECT

private slots:
    void newEmptiesTheBox() {
        trigger("mnuNew");
        QCOMPARE(box->toPlainText(), QString());
        QCOMPARE(window->windowTitle(), QStringLiteral("未命名"));
    }

    void plainTextRoundTrip_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("lower-case .txt") << "chart.txt";
        QTest::newRow("upper-case .TXT") << "CHART.TXT";
        QTest::newRow("Chinese name") << "八字 结果.txt";
    }
    void plainTextRoundTrip() {
        QFETCH(QString, name);
        const QString path = dir.filePath(name);
        box->setPlainText(QStringLiteral("乾造：　庚\n\n  ASCII 行"));
        ui->savePaths = {path};
        trigger("mnuSave");
        QVERIFY(ui->messages.empty());
        QCOMPARE(ui->filters.value(0), QStringLiteral("文本文档(*.txt);;RTF文档(*.rtf);;所有文件(*.*)"));
        // UTF-8 without a byte-order mark, CR LF line ends.
        QCOMPARE(ReadAll(path), QByteArray("\xE4\xB9\xBE\xE9\x80\xA0\xEF\xBC\x9A\xE3\x80\x80\xE5\xBA\x9A"
                                           "\r\n\r\n  ASCII \xE8\xA1\x8C"));
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
        trigger("mnuNew");
        ui->openPaths = {path};
        trigger("mnuOpen");
        QCOMPARE(box->toPlainText(), QStringLiteral("乾造：　庚\n\n  ASCII 行"));
        QCOMPARE(box->document()->blockCount(), 3);
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
    }

    // A chart saved as RTF comes back with its colours.
    void rtfRoundTrip() {
        pressForChart();
        const QString chart = box->toPlainText();
        const int heading = static_cast<int>(chart.indexOf(QStringLiteral("特别提醒：")));
        QVERIFY(heading > 0);
        const QString path = dir.filePath("chart.rtf");
        ui->savePaths = {path};
        trigger("mnuSave");
        QVERIFY(ReadAll(path).startsWith("{\\rtf"));
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
        trigger("mnuNew");
        ui->openPaths = {path};
        trigger("mnuOpen");
        QVERIFY(ui->messages.empty());
        QCOMPARE(box->toPlainText(), chart);
        QCOMPARE(FormatAt(box, heading).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
    }

    // Only the name's ending decides: anything else writes nothing, and the
    // title names the file all the same.
    void otherEndingsWriteNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("no extension") << "chart";
        QTest::newRow(".doc") << "chart.doc";
        QTest::newRow(".tx") << "chart.tx";
    }
    void otherEndingsWriteNothing() {
        QFETCH(QString, name);
        const QString path = dir.filePath(name);
        ui->savePaths = {path};
        trigger("mnuSave");
        QVERIFY(!QFile::exists(path));
        QVERIFY(ui->messages.empty());
        QCOMPARE(window->windowTitle(), kFilePrefix + path);
    }

    void textEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString zhang = QStringLiteral("张三\n八字");
        QTest::newRow("GB18030 (GB2312 codes)") << QByteArray("\xD5\xC5\xC8\xFD\r\n\xB0\xCB\xD7\xD6") << zhang;
        QTest::newRow("GB18030 four-byte") << QByteArray("\x81\x30\x81\x30") << QStringLiteral("\u0080");
        QTest::newRow("UTF-8") << QByteArray("\xE5\xBC\xA0\xE4\xB8\x89\n\xE5\x85\xAB\xE5\xAD\x97") << zhang;
        QTest::newRow("UTF-8 with BOM")
            << QByteArray("\xEF\xBB\xBF\xE5\xBC\xA0\xE4\xB8\x89\r\n\xE5\x85\xAB\xE5\xAD\x97") << zhang;
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\x20\x5F\x09\x4E\x0D\x00\x0A\x00\x6B\x51\x57\x5B", 14)
                                   << zhang;
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\x5F\x20\x4E\x09\x00\x0D\x00\x0A\x51\x6B\x5B\x57", 14)
                                   << zhang;
        QTest::newRow("old Mac line ends") << QByteArray("a\rb\rc") << QStringLiteral("a\nb\nc");
        QTest::newRow("empty file") << QByteArray() << QString();
    }
    void textEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString path = dir.filePath("encoded.txt");
        WriteAll(path, bytes);
        ui->openPaths = {path};
        trigger("mnuOpen");
        QVERIFY(ui->messages.empty());
        QCOMPARE(box->toPlainText(), text);
    }

    // Bytes that are no text at all still open, as far as they go.
    void binaryFileOpensWithoutHarm() {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(static_cast<char>((i * 37 + 11) % 256));
        const QString path = dir.filePath("junk.bin");
        WriteAll(path, junk);
        ui->openPaths = {path};
        trigger("mnuOpen");
        QVERIFY(ui->messages.empty());
        QVERIFY(!box->toPlainText().isEmpty());
    }

    void cancelledDialogsChangeNothing() {
        box->setPlainText(QStringLiteral("保留"));
        const QString title = window->windowTitle();
        trigger("mnuOpen");
        trigger("mnuSave");
        trigger("mnufont");
        QCOMPARE(ui->filters.size(), 2);
        QCOMPARE(ui->fontDialogs, 1);
        QCOMPARE(ui->colourDialogs, 0);
        QCOMPARE(box->toPlainText(), QStringLiteral("保留"));
        QCOMPARE(window->windowTitle(), title);
        QVERIFY(ui->messages.empty());
    }

    void unreadableFileKeepsTheBox() {
        box->setPlainText(QStringLiteral("保留"));
        const QString title = window->windowTitle();
        const QString missing = dir.filePath("gone.txt");
        ui->openPaths = {missing, dir.path()};
        trigger("mnuOpen");
        trigger("mnuOpen");  // a folder is no document either
        QCOMPARE(ui->messages.size(), size_t(2));
        QVERIFY(ui->messages[0].text.contains(missing));
        QCOMPARE(ui->messages[0].caption, QStringLiteral("错误"));
        QCOMPARE(box->toPlainText(), QStringLiteral("保留"));
        QCOMPARE(window->windowTitle(), title);
    }

    // A save that cannot write says so, keeps the old file and does not put
    // the file into the title.
    void failedSaveKeepsTheOldFile() {
        QTemporaryDir locked;
        const QString path = locked.filePath("old.txt");
        WriteAll(path, "old content");
        QVERIFY(QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                         QFileDevice::ReadOther | QFileDevice::ExeOther));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFileDevice::ExeOther));
        box->setPlainText(QStringLiteral("新内容"));
        const QString title = window->windowTitle();
        ui->savePaths = {path};
        {
            Unprivileged user;
            QVERIFY(user.ok());
            trigger("mnuSave");
        }
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        QCOMPARE(ui->messages.size(), size_t(1));
        QVERIFY(ui->messages[0].text.contains(path));
        QCOMPARE(ui->messages[0].caption, QStringLiteral("错误"));
        QCOMPARE(ui->messages[0].icon, MessageIcon::Critical);
        QCOMPARE(ReadAll(path), QByteArray("old content"));
        QCOMPARE(window->windowTitle(), title);
    }

    void saveOntoAFolderFails() {
        const QString path = dir.filePath("folder.rtf");
        QVERIFY(QDir(dir.path()).mkdir("folder.rtf"));
        ui->savePaths = {path};
        trigger("mnuSave");
        QCOMPARE(ui->messages.size(), size_t(1));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(!window->windowTitle().endsWith(path));
    }

    void copyPutsPlainText() {
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
    }

    void cutAndPaste() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        box->setPlainText(QStringLiteral("甲乙丙丁"));
        Select(box, 1, 3);
        trigger("mnuCut");
        QCOMPARE(clipboard->text(), QStringLiteral("乙丙"));
        QCOMPARE(box->toPlainText(), QStringLiteral("甲丁"));
        Select(box, 0, 1);
        trigger("mnuPaste");
        QCOMPARE(box->toPlainText(), QStringLiteral("乙丙丁"));
        clipboard->setText(QStringLiteral("子\r\n丑"));
        Select(box, 3, 3);
        trigger("mnuPaste");
        QCOMPARE(box->toPlainText(), QStringLiteral("乙丙丁子\n丑"));
        trigger("mnuSelectAll");
        QCOMPARE(box->textCursor().selectionStart(), 0);
        QCOMPARE(box->textCursor().selectionEnd(), static_cast<int>(box->toPlainText().size()));
    }

    // The keys run the menu's commands in the box too: Ctrl+C with nothing
    // selected empties the clipboard.
    void shortcutsInTheBox() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("旧"));
        box->setPlainText(QStringLiteral("甲乙"));
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        Select(box, 0, 0);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QString());
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), QStringLiteral("甲乙"));
        QCOMPARE(box->toPlainText(), QString());
    }

    void fontOfTheSelection() {
        box->setPlainText(QStringLiteral("甲乙丙丁"));
        const QTextCharFormat untouched = FormatAt(box, 0);
        QFont chosen(QStringLiteral("Noto Serif CJK SC"));
        chosen.setPointSize(16);
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
            QVERIFY(f.fontItalic());
            QVERIFY(f.fontUnderline());
            QVERIFY(f.fontStrikeOut());
            QCOMPARE(f.foreground().color(), QColor(0, 128, 0));
        }
        for (int pos : {0, 3}) {
            QCOMPARE(FormatAt(box, pos), untouched);
        }
        // Colour dialog cancelled: the font still applies, the colour stays.
        ui->colour.reset();
        chosen.setBold(false);
        ui->font = chosen;
        Select(box, 0, 1);
        trigger("mnufont");
        QCOMPARE(FormatAt(box, 0).fontWeight(), int(QFont::Normal));
        QCOMPARE(FormatAt(box, 0).foreground(), untouched.foreground());
    }

    // A later chart starts from the default look, whatever was at the caret.
    void chartAfterFontChangeUsesDefaults() {
        box->setPlainText(QStringLiteral("甲"));
        ui->font = QFont(QStringLiteral("Noto Serif CJK SC"), 20);
        ui->colour = QColor(255, 0, 255);
        trigger("mnuSelectAll");
        trigger("mnufont");
        pressForChart();
        const QTextCharFormat first = FormatAt(box, 0);
        QVERIFY(first.foreground().style() == Qt::NoBrush || first.foreground().color() != QColor(255, 0, 255));
        QVERIFY(!first.hasProperty(QTextFormat::FontPointSize));
    }

private:
    // A chart of a birth the program covers (today lies past its last year).
    void pressForChart() {
        const char* date[] = {"1990", "5", "8", "14", "5"};
        for (int i = 0; i < 5; ++i)
            window->findChild<QComboBox*>(QStringLiteral("Combo%1").arg(i + 1))->setEditText(date[i]);
        window->getZTYS();
        QVERIFY(ui->messages.empty());
    }
    void trigger(const char* action) {
        QAction* a = window->findChild<QAction*>(QString(action));
        QVERIFY2(a, action);
        a->trigger();
    }

    QTemporaryDir dir;
};

QTEST_MAIN(DocumentTest)
#include "tst_documents.moc"
