// The RTF writer: its exact output for a small document, its escapes, and
// write-then-read keeping every run.

#include <gtest/gtest.h>

#include "app/rtf/rtf_reader.h"
#include "app/rtf/rtf_writer.h"
#include "tests/rtf/rtf_test_support.h"

namespace paipan::rtf {
namespace {

bool IsAscii(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

TEST(RtfWriter, WritesHeaderTablesAndRuns) {
    const RunList runs = {{"晴川\n", Fmt("宋体", 10.5, kRed, "b")},
                          {"a{b}\\c", Fmt("Noto Sans Mono CJK SC", 12, {}, "ius")}};
    // 晴 is U+6674 (26228), 川 U+5DDD (24029); 宋体 in GBK is CB CE CC E5.
    const std::string expected =
        "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1"
        "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
        "{\\f1\\fnil\\fcharset0 Noto Sans Mono CJK SC;}}\r\n"
        "{\\colortbl;\\red255\\green0\\blue0;}\r\n"
        "\\pard\\plain\\f0\\fs21\\cf1\\b \\u26228?\\u24029?\\par\r\n"
        "\\plain\\f1\\fs24\\i\\ul\\strike a\\{b\\}\\\\c\r\n}\r\n";
    EXPECT_EQ(SerializeRtf(runs), expected);
}

struct EscapeCase {
    std::string text;
    std::string written;
};

TEST(RtfWriter, EscapesText) {
    const std::vector<EscapeCase> cases = {
        {"\\", "\\\\"},
        {"{}", "\\{\\}"},
        {"\t", "\\tab "},
        {"\n", "\\par\r\n"},
        {"\u2028", "\\line "},
        {"　", "\\u12288?"},            // U+3000
        {"！", "\\u-255?"},             // U+FF01 = 65281 = 65536 - 255
        {"\U00020000", "\\u-10176?\\u-9216?"},  // surrogates D840 DC00
        {"é", "\\u233?"},
        {"\r", "\\u13?"},
        {"\xff", "\\u-3?"},             // a stray byte becomes U+FFFD
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.written);
        const std::string out = SerializeRtf({{c.text, Fmt("A")}});
        EXPECT_NE(out.find("\\plain\\f0 " + c.written + "\r\n}"), std::string::npos) << out;
        EXPECT_TRUE(IsAscii(out));
    }
}

TEST(RtfWriter, WritesFontNames) {
    const std::vector<EscapeCase> cases = {
        {"宋体", "{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"},
        {"Mixed 黑体", "{\\f0\\fnil\\fcharset134 Mixed \\'ba\\'da\\'cc\\'e5;}"},
        {"A;B{}", "{\\f0\\fnil\\fcharset0 A\\'3bB\\'7b\\'7d;}"},
        // GBK has no emoji: the whole name goes as \uN.
        {"宋体😀", "{\\f0\\fnil\\fcharset134 \\u23435?\\u20307?\\u-10179?\\u-8704?;}"},
        {"", "{\\f0\\fnil\\fcharset0 ;}"},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.written);
        const std::string out = SerializeRtf({{"x", Fmt(c.text)}});
        EXPECT_NE(out.find("{\\fonttbl" + c.written + "}"), std::string::npos) << out;
        EXPECT_TRUE(IsAscii(out));
    }
}

TEST(RtfWriter, WriteThenReadKeepsRuns) {
    const std::string cjk = "Noto Sans Mono CJK SC";
    const std::vector<RunList> documents = {
        {},
        {{"乾造　　甲子　丙寅　戊辰　庚申\n", Fmt(cjk, 10.5)},
         {"比肩", Fmt(cjk, 10.5, kRed, "b")},
         {"　", Fmt(cjk, 10.5)},
         {"食神", Fmt(cjk, 10.5, kBlue)},
         {"　", Fmt(cjk, 10.5)},
         {"日主", Fmt(cjk, 10.5, kGreen)},
         {"\n大运：", Fmt(cjk, 10.5, kBrown, "u")},
         {"丁卯\n", Fmt(cjk, 10.5, kMagenta, "is")}},
        {{"\\{}\t\u2028\r!~\x01 é€\uFFFF\U0001F600", Fmt("宋体", 1638)},
         {"a", Fmt("A;B{}", 0.5)},
         {"b", Fmt("宋体😀")},
         {"c", Fmt("", 0, kRed)},
         {"\n\n", Fmt("")}},
    };
    for (std::size_t i = 0; i < documents.size(); ++i) {
        SCOPED_TRACE(i);
        const std::string out = SerializeRtf(documents[i]);
        EXPECT_TRUE(IsAscii(out));
        const auto again = ParseRtf(out);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(*again, documents[i]);
    }
}

}  // namespace
}  // namespace paipan::rtf
