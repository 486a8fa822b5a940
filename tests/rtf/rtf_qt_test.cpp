// RTF in and out of a QTextDocument: a coloured chart survives writing and
// reading character by character, and word processors' files load.

#include <gtest/gtest.h>

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/rtf/rtf_qt.h"
#include "tests/rtf/rtf_test_support.h"

namespace paipan {
namespace {

// How one character is shown.
struct Look {
    QChar ch;
    QString family;
    double points = 0;
    QString colour;  // "#rrggbb", empty for the default colour
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const Look&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Look& look) {
    return os << "U+" << std::hex << int{look.ch.unicode()} << std::dec << ' ' << look.family.toStdString()
              << ' ' << look.points << "pt " << look.colour.toStdString() << (look.bold ? " b" : "")
              << (look.italic ? " i" : "") << (look.underline ? " u" : "") << (look.strike ? " s" : "");
}

// `styles` holds the letters b, i, u and s for bold, italic, underline and strikethrough.
Look MakeLook(QChar ch, const QString& family = {}, double points = 0, const QString& colour = {},
              const QString& styles = {}) {
    Look look;
    look.ch = ch;
    look.family = family;
    look.points = points;
    look.colour = colour;
    look.bold = styles.contains(QLatin1Char('b'));
    look.italic = styles.contains(QLatin1Char('i'));
    look.underline = styles.contains(QLatin1Char('u'));
    look.strike = styles.contains(QLatin1Char('s'));
    return look;
}

Look LookOf(QChar ch, const QTextCharFormat& format, const QFont& defaultFont) {
    const QFont font = format.font().resolve(defaultFont);
    Look look = MakeLook(ch, font.families().value(0, font.family()), font.pointSizeF());
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        look.colour = format.foreground().color().name();
    }
    look.bold = font.bold();
    look.italic = font.italic();
    look.underline = font.underline();
    look.strike = font.strikeOut();
    return look;
}

// Every character of the document with its look; block breaks as bare '\n'.
std::vector<Look> Looks(const QTextDocument& doc) {
    std::vector<Look> looks;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) {
            looks.push_back(MakeLook(QLatin1Char('\n')));
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QChar ch : it.fragment().text()) {
                looks.push_back(LookOf(ch, it.fragment().charFormat(), doc.defaultFont()));
            }
        }
    }
    return looks;
}

// The look of the first character of `text` in `doc`.
Look LookAt(const QTextDocument& doc, const QString& text) {
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(found.selectionStart() + 1);  // the format left of the cursor
    return LookOf(text.at(0), cursor.charFormat(), doc.defaultFont());
}

void Format(QTextDocument& doc, const QString& text, const QTextCharFormat& format) {
    QTextCursor cursor = doc.find(text);
    ASSERT_FALSE(cursor.isNull()) << text.toStdString();
    cursor.mergeCharFormat(format);
}

// `styles` as for MakeLook.
QTextCharFormat Chars(const QColor& colour, const QString& styles = {}) {
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(styles.contains(QLatin1Char('b')) ? QFont::Bold : QFont::Normal);
    format.setFontItalic(styles.contains(QLatin1Char('i')));
    format.setFontUnderline(styles.contains(QLatin1Char('u')));
    format.setFontStrikeOut(styles.contains(QLatin1Char('s')));
    return format;
}

const QString kCjkFont = QStringLiteral("Noto Sans Mono CJK SC");

// A chart as the window lays it out: CR LF lines, U+3000 padding, coloured sections.
void FillChart(QTextDocument& doc) {
    QFont font(kCjkFont);
    font.setPointSizeF(10.5);
    doc.setDefaultFont(font);
    doc.setPlainText(QStringLiteral(
        "晴川四柱八字排盘系统 Ver1.0 （免费版）\r\n"
        "乾造　　甲子　丙寅　戊辰　庚申\r\n"
        "　　　　比肩　食神　日主　偏财\r\n"
        "大运：　丁卯　戊辰　己巳　庚午\r\n"
        "起运：1岁3个月\t交运：1991年8月\r\n"
        "{特殊} \\ 字符"));
    Format(doc, QStringLiteral("晴川四柱八字排盘系统"), Chars(Qt::red, QStringLiteral("b")));
    Format(doc, QStringLiteral("甲子"), Chars(Qt::blue));
    Format(doc, QStringLiteral("比肩"), Chars(QColor(0, 128, 0), QStringLiteral("i")));
    Format(doc, QStringLiteral("大运"), Chars(QColor(192, 64, 0), QStringLiteral("u")));
    Format(doc, QStringLiteral("丁卯"), Chars(Qt::magenta, QStringLiteral("s")));
    Format(doc, QStringLiteral("特殊"), Chars(Qt::red, QStringLiteral("bius")));
    QTextCharFormat other;
    other.setFontFamilies({QStringLiteral("DejaVu Sans")});
    other.setFontPointSize(14);
    Format(doc, QStringLiteral("交运"), other);
}

TEST(RtfQt, ChartSurvivesWriteThenRead) {
    QTextDocument chart;
    FillChart(chart);
    ASSERT_EQ(chart.blockCount(), 6);  // one block per CR LF line

    const QByteArray rtf = WriteRtf(chart);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936"));
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));

    QTextDocument read;
    read.setDefaultFont(QFont(QStringLiteral("DejaVu Serif"), 20));  // must not leak in
    QString error;
    ASSERT_TRUE(ReadRtf(rtf, &read, &error));
    EXPECT_EQ(read.toPlainText(), chart.toPlainText());
    EXPECT_EQ(Looks(read), Looks(chart));

    const std::vector<std::pair<QString, Look>> spots = {
        {QStringLiteral("晴"), MakeLook(QChar(0x6674), kCjkFont, 10.5, "#ff0000", "b")},
        {QStringLiteral("甲子"), MakeLook(QChar(0x7532), kCjkFont, 10.5, "#0000ff")},
        {QStringLiteral("比肩"), MakeLook(QChar(0x6BD4), kCjkFont, 10.5, "#008000", "i")},
        {QStringLiteral("大运"), MakeLook(QChar(0x5927), kCjkFont, 10.5, "#c04000", "u")},
        {QStringLiteral("丁卯"), MakeLook(QChar(0x4E01), kCjkFont, 10.5, "#ff00ff", "s")},
        {QStringLiteral("交运"), MakeLook(QChar(0x4EA4), QStringLiteral("DejaVu Sans"), 14)},
        {QStringLiteral("特殊"), MakeLook(QChar(0x7279), kCjkFont, 10.5, "#ff0000", "bius")},
        {QStringLiteral("　　　　比"), MakeLook(QChar(0x3000), kCjkFont, 10.5)},
    };
    for (const auto& [text, look] : spots) {
        EXPECT_EQ(LookAt(read, text), look) << text.toStdString();
    }
}

TEST(RtfQt, EmptyDocumentSurvivesWriteThenRead) {
    QTextDocument empty;
    QTextDocument read;
    read.setPlainText(QStringLiteral("旧内容"));
    ASSERT_TRUE(ReadRtf(WriteRtf(empty), &read, nullptr));
    EXPECT_TRUE(read.toPlainText().isEmpty());
}

TEST(RtfQt, LoadsWordProcessorFiles) {
    QTextDocument doc;
    ASSERT_TRUE(ReadRtf(QByteArray::fromStdString(rtf::ReadSample("word_gbk.rtf")), &doc, nullptr));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("晴川四柱　八字\nWord 2003链接排盘\n"));
    EXPECT_EQ(LookAt(doc, QStringLiteral("晴")), MakeLook(QChar(0x6674), QStringLiteral("宋体"), 10.5, "#ff0000"));
    EXPECT_EQ(LookAt(doc, QStringLiteral("八")),
              MakeLook(QChar(0x516B), QStringLiteral("黑体"), 16, "#c04000", "u"));

    // A cut file loads as far as it goes.
    ASSERT_TRUE(ReadRtf(QByteArray::fromStdString(rtf::ReadSample("truncated_group.rtf")), &doc, nullptr));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("晴川四柱八"));
    EXPECT_EQ(LookAt(doc, QStringLiteral("八")),
              MakeLook(QChar(0x516B), QStringLiteral("宋体"), 12, "#ff0000", "bi"));
}

TEST(RtfQt, RefusesPlainTextAndKeepsTheDocument) {
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("保留的内容"));
    for (const QByteArray& bytes : {QByteArray::fromStdString(rtf::ReadSample("not_rtf.txt")), QByteArray()}) {
        QString error;
        EXPECT_FALSE(ReadRtf(bytes, &doc, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("RTF")));
        EXPECT_EQ(doc.toPlainText(), QStringLiteral("保留的内容"));
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
