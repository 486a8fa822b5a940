// RTF in and out of a QTextDocument: a coloured chart survives writing and
// reading character by character, a word processor's file loads, and bytes
// that are not RTF leave the document as it was.

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/rtf_qt.h"

namespace paipan {
namespace {

const QString kCjkFont = QStringLiteral("Noto Sans Mono CJK SC");

// How a character is shown, e.g. "晴 宋体 10.5pt #ff0000 b---".
std::string Look(QChar ch, const QTextCharFormat& format, const QFont& defaultFont) {
    const QFont f = format.font().resolve(defaultFont);
    const bool coloured = format.hasProperty(QTextFormat::ForegroundBrush);
    return QStringLiteral("%1 %2 %3pt %4 %5%6%7%8")
        .arg(ch)
        .arg(f.families().value(0, f.family()))
        .arg(f.pointSizeF())
        .arg(coloured ? format.foreground().color().name() : QStringLiteral("default"))
        .arg(f.bold() ? 'b' : '-')
        .arg(f.italic() ? 'i' : '-')
        .arg(f.underline() ? 'u' : '-')
        .arg(f.strikeOut() ? 's' : '-')
        .toStdString();
}

// Every character of the document with its look; block breaks as bare "\n".
std::vector<std::string> Looks(const QTextDocument& doc) {
    std::vector<std::string> looks;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) looks.emplace_back("\n");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QChar ch : it.fragment().text())
                looks.push_back(Look(ch, it.fragment().charFormat(), doc.defaultFont()));
        }
    }
    return looks;
}

// The look of the first character of `text` in `doc`.
std::string LookAt(QTextDocument& doc, const QString& text) {
    QTextCursor cursor(&doc);
    cursor.setPosition(doc.find(text).selectionStart() + 1);  // the format left of the cursor
    return Look(text.at(0), cursor.charFormat(), doc.defaultFont());
}

// A chart as the window lays it out: CR LF lines, U+3000 padding, coloured sections.
void FillChart(QTextDocument& doc) {
    QFont font(kCjkFont);
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    doc.setPlainText(
        QStringLiteral("晴川四柱八字排盘系统 Ver1.0 （免费版）\r\n乾造　　甲子　丙寅　戊辰　庚申\r\n"
                       "　　　　比肩　食神　日主　偏财\r\n大运：　丁卯　戊辰　己巳　庚午\r\n"
                       "起运：1岁3个月\t交运：1991年8月\r\n{特殊} \\ 字符"));
    const std::tuple<const char*, QColor, QString> pieces[] = {
        {"晴川四柱八字排盘系统", Qt::red, "b"}, {"甲子", Qt::blue, ""},     {"比肩", QColor(0, 128, 0), "i"},
        {"大运", QColor(192, 64, 0), "u"},      {"丁卯", Qt::magenta, "s"}, {"特殊", Qt::red, "bius"}};
    for (const auto& [text, colour, styles] : pieces) {
        QTextCharFormat format;
        format.setForeground(colour);
        format.setFontWeight(styles.contains('b') ? QFont::Bold : QFont::Normal);
        format.setFontItalic(styles.contains('i'));
        format.setFontUnderline(styles.contains('u'));
        format.setFontStrikeOut(styles.contains('s'));
        QTextCursor found = doc.find(QString(text));
        ASSERT_FALSE(found.isNull()) << text;
        found.mergeCharFormat(format);
    }
    QTextCharFormat other;
    other.setFontFamilies({QStringLiteral("DejaVu Sans")});
    other.setFontPointSize(14);
    doc.find(QStringLiteral("交运")).mergeCharFormat(other);
}

TEST(RtfQt, ChartSurvivesWriteThenRead) {
    QTextDocument chart, empty;
    FillChart(chart);
    ASSERT_EQ(chart.blockCount(), 6);  // one block per CR LF line
    EXPECT_EQ(LookAt(chart, "特殊"), "特 Noto Sans Mono CJK SC 10.5pt #ff0000 bius");
    EXPECT_EQ(LookAt(chart, "交运"), "交 DejaVu Sans 14pt default ----");
    for (const QTextDocument* doc : {&chart, &empty}) {
        const QByteArray rtf = WriteRtf(*doc);
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
        EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
        QTextDocument read;
        read.setPlainText(QStringLiteral("旧内容"));
        read.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 20));  // must not leak in
        ASSERT_TRUE(ReadRtf(rtf, &read, nullptr));
        EXPECT_EQ(read.toPlainText(), doc->toPlainText());
        EXPECT_EQ(Looks(read), Looks(*doc));
    }
}

QByteArray Sample(const char* name) {
    QFile file(QStringLiteral(PAIPAN_RTF_SAMPLES "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A word processor's file loads; bytes that are not RTF leave it in place.
TEST(RtfQt, LoadsWordProcessorFileAndRefusesPlainText) {
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(Sample("word_gbk.rtf"), &doc, nullptr));
    const QString text = QStringLiteral("晴川四柱　八字\nWord 2003链接排盘\n");
    EXPECT_EQ(doc.toPlainText(), text);
    EXPECT_EQ(LookAt(doc, "晴"), "晴 宋体 10.5pt #ff0000 ----");
    EXPECT_EQ(LookAt(doc, "八"), "八 黑体 16pt #c04000 --u-");
    for (const QByteArray& bytes : {Sample("not_rtf.txt"), QByteArray()}) {
        QString error;
        EXPECT_FALSE(ReadRtf(bytes, &doc, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("RTF")));
        EXPECT_EQ(doc.toPlainText(), text);
    }
}

}  // namespace
}  // namespace paipan

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
