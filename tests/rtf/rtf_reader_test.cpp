// The RTF reader against files in the styles of common word processors, and
// hostile input. Expected texts are the characters the files were written
// with (the GBK bytes were checked with a separate GBK decoder).

#include <gtest/gtest.h>

#include "app/rtf/rtf_reader.h"
#include "tests/rtf/rtf_test_support.h"

namespace paipan::rtf {
namespace {

const std::string kSong = "宋体";
const std::string kHei = "黑体";

struct SampleCase {
    const char* file;
    RunList expected;
};

TEST(RtfReader, ReadsWordProcessorSamples) {
    const std::string tnr = "Times New Roman";
    const std::vector<SampleCase> cases = {
        // Word: \ansicpg936, GB2312 font names, GBK text in \'hh (one
        // character split over a line break), fields, \info and styles skipped.
        {"word_gbk.rtf",
         {{"晴川", Fmt(kSong, 10.5, kRed)},
          {"四柱", Fmt(kSong, 10.5, {}, "b")},
          {"　", Fmt(kSong, 10.5)},
          {"八字", Fmt(kHei, 16, kBrown, "u")},
          {"\n", Fmt(tnr, 10.5)},
          {"Word 2003", Fmt(tnr, 10.5, {}, "is")},
          {"链接", Fmt(kSong, 10.5, kBlue, "u")},
          {"排盘\n", Fmt(kSong, 10.5)}}},
        // WordPad: \uN? Chinese, nested groups, \uc2 fallbacks, a surrogate
        // pair, unknown destinations, GBK under a \fcharset134 font in a
        // \ansicpg1252 file.
        {"wordpad_unicode.rtf",
         {{"Hello ", Fmt("Calibri", 11)},
          {"晴川", Fmt(kSong, 11, kBlue, "b")},
          {" world\n", Fmt("Calibri", 11)},
          {"四", Fmt(kSong, 11, {}, "i")},
          {"柱", Fmt(kSong, 11, {}, "iu")},
          {"八", Fmt(kSong, 11)},
          {"字 ", Fmt("Calibri", 11)},
          {"struck", Fmt("Calibri", 11, {}, "s")},
          {" ", Fmt("Calibri", 11)},
          {"under", Fmt("Calibri", 11, {}, "u")},
          {" ", Fmt("Calibri", 11)},
          {"again", Fmt("Calibri", 11, {}, "u")},
          {" end\n", Fmt("Calibri", 11)},
          {"！\t　你好\U00020000\u2028", Fmt(kSong, 14, kGreen)},
          {"x\\y{z} 晴\n", Fmt(kSong, 14, kMagenta)}}},
        // Cut inside a nested group: everything before the cut stays.
        {"truncated_group.rtf",
         {{"晴川", Fmt(kSong, 12)},
          {"四柱", Fmt(kSong, 12, kRed, "b")},
          {"八", Fmt(kSong, 12, kRed, "bi")}}},
        // Cut inside the control word \ulnone.
        {"truncated_word.rtf",
         {{"你好", Fmt(kSong)},
          {"bold", Fmt(kSong, 0, {}, "b")},
          {"plain ", Fmt(kSong)},
          {"under", Fmt(kSong, 0, {}, "u")}}},
    };
    for (const SampleCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string bytes = ReadSample(c.file);
        ASSERT_FALSE(bytes.empty());
        const auto runs = ParseRtf(bytes);
        ASSERT_TRUE(runs.has_value());
        EXPECT_EQ(*runs, c.expected);
    }
}

TEST(RtfReader, RefusesWhatIsNotRtf) {
    const std::vector<std::string> inputs = {
        ReadSample("not_rtf.txt"), "", "   \r\n", "{\\rt", "rtf1 hello", "{ \\rtf1 x}",
        "\\rtf1", "<html>{\\rtf1}</html>", std::string("\0{\\rtf1 x}", 10)};
    for (const std::string& bytes : inputs) {
        SCOPED_TRACE(bytes);
        EXPECT_FALSE(LooksLikeRtf(bytes));
        EXPECT_FALSE(ParseRtf(bytes).has_value());
    }
    EXPECT_TRUE(ParseRtf("\xEF\xBB\xBF \r\n{\\rtf1 a}").has_value());
    EXPECT_TRUE(ParseRtf("{\\rtf").has_value());
}

struct TextCase {
    const char* name;
    std::string rtf;
    std::string text;
};

TEST(RtfReader, DecodesCharacters) {
    const std::vector<TextCase> cases = {
        {"GBK escapes", "{\\rtf1\\ansi\\ansicpg936 \\'c7\\'e7\\'b4\\'a8}", "晴川"},
        {"GBK pair split by a line break", "{\\rtf1\\ansicpg936 \\'c7\r\n\\'e7}", "晴"},
        {"GBK trail byte written plainly", "{\\rtf1\\ansicpg936 \\'81@}", "丂"},
        {"GBK ideographic space", "{\\rtf1\\ansicpg936 \\'a1\\'a1}", "　"},
        {"GB18030 code page", "{\\rtf1\\ansicpg54936 \\'81\\'30\\'81\\'30}", "\u0080"},
        {"western by default", "{\\rtf1\\ansi \\'e9\\'80}", "é€"},
        {"font charset beats the document page",
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset134 A;}{\\f1\\fcharset0 B;}}"
         "\\f0\\'c4\\'e3\\f1\\'e9}", "你é"},
        {"explicit font code page", "{\\rtf1{\\fonttbl{\\f0\\cpg936 A;}}\\f0\\'ba\\'c3}", "好"},
        {"Mac Roman", "{\\rtf1\\mac \\'8e}", "é"},
        {"unknown code page read as western", "{\\rtf1\\ansicpg99999 \\'e9}", "é"},
        {"UTF-8 code page", "{\\rtf1\\ansicpg65001 \\'e6\\'99\\'b4}", "晴"},
        {"UTF-8 code page, old five-byte form", "{\\rtf1\\ansicpg65001 \\'f9\\'b9\\'b9\\'b9\\'b9}",
         "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"UTF-8 code page, surrogate", "{\\rtf1\\ansicpg65001 \\'ed\\'a0\\'80x}", "\uFFFD\uFFFD\uFFFDx"},
        {"lead byte cut off at the end", "{\\rtf1\\ansicpg936 \\'c7\\'e7\\'b4}", "晴\uFFFD"},
        {"negative \\u", "{\\rtf1 \\u-255?\\u-1?}", "！\uFFFF"},
        {"\\uc0", "{\\rtf1\\uc0\\u20320\\u22909}", "你好"},
        {"\\uc2 with escapes", "{\\rtf1\\uc2\\u20320\\'c4\\'e3\\u22909\\'ba\\'c3}", "你好"},
        {"\\uc belongs to its group", "{\\rtf1{\\uc2\\u20320 ab}\\u22909 c}", "你好"},
        {"fallback ends at a group", "{\\rtf1\\uc3\\u20320{x}y}", "你xy"},
        {"surrogate pair", "{\\rtf1 \\u-10176?\\u-9216?}", "\U00020000"},
        {"lone first surrogate", "{\\rtf1 \\u-10176?x}", "\uFFFDx"},
        {"lone second surrogate", "{\\rtf1 \\u-9216?}", "\uFFFD"},
        {"paragraph, line, tab", "{\\rtf1 a\\par b\\line c\\tab d}", "a\nb\u2028c\td"},
        {"escaped specials", "{\\rtf1 \\\\\\{\\}}", "\\{}"},
        {"control symbols", "{\\rtf1 a\\~b\\-c\\_d}", "a\u00A0bc\u2011d"},
        {"backslash before a line break", "{\\rtf1 a\\\r\nb}", "a\nb"},
        {"line breaks in the file are not text", "{\\rtf1 a\r\nb\rc}", "abc"},
        {"quotes and dashes", "{\\rtf1 \\ldblquote x\\rdblquote\\emdash}", "\u201Cx\u201D\u2014"},
        {"NUL bytes dropped", std::string("{\\rtf1 a\0b\\'00c}", 17), "abc"},
        {"broken hex escape", "{\\rtf1 \\'zz\\'4}", "zz4"},
        {"unknown destinations", "{\\rtf1 a{\\*\\foo b{c}}d}", "ad"},
        {"ignorable destinations",
         "{\\rtf1 a{\\info{\\title t}}{\\stylesheet{s;}}{\\header h}{\\pict 0102}b}", "ab"},
        {"field result kept, instruction dropped",
         "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}}", "link"},
        {"binary data skipped", "{\\rtf1 a{\\*\\blip\\bin3 }}}}b}", "ab"},
        {"negative \\bin", "{\\rtf1 a\\bin-5 b}", "ab"},
        {"nothing after the file's group", "{\\rtf1 a}b{c}", "a"},
        {"overlong control word", "{\\rtf1 \\" + std::string(1000, 'a') + " b}", "b"},
        {"huge parameters", "{\\rtf1\\uc99999999999999999999\\u20320" + std::string(20, 'x') + "}",
         "你xxxx"},
        {"cut in the font table", "{\\rtf1{\\fonttbl{\\f0\\fnil Ari", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto runs = ParseRtf(c.rtf);
        ASSERT_TRUE(runs.has_value());
        EXPECT_EQ(JoinedText(*runs), c.text);
    }
}

struct FormatCase {
    const char* name;
    std::string rtf;
    RunList expected;
};

TEST(RtfReader, ReadsFormats) {
    const std::vector<FormatCase> cases = {
        {"font table without groups",
         "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}\\f1 a\\f0 b}",
         {{"a", Fmt("Times")}, {"b", Fmt("Arial")}}},
        {"default font and \\plain",
         "{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}x\\f0\\b y\\plain z}",
         {{"x", Fmt("B")}, {"y", Fmt("A", 0, {}, "b")}, {"z", Fmt("B")}}},
        {"font name in \\uN and in GBK",
         "{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\u23435?\\u20307?;}{\\f1\\fcharset134 \\'ba\\'da\\'cc\\'e5;}}"
         "\\f0 a\\f1 b}",
         {{"a", Fmt(kSong)}, {"b", Fmt(kHei)}}},
        {"font name with alternates and blanks",
         "{\\rtf1{\\fonttbl{\\f0{\\*\\panose 0}  Noto Sans Mono CJK SC {\\*\\falt X};}}\\f0 a}",
         {{"a", Fmt("Noto Sans Mono CJK SC")}}},
        {"font missing from the table", "{\\rtf1{\\fonttbl{\\f0 A;}}\\f7 a}", {{"a", Fmt("")}}},
        {"colour table without the automatic entry",
         "{\\rtf1{\\colortbl\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\cf0 a\\cf1 b\\cf2 c}",
         {{"a", Fmt("", 0, kRed)}, {"b", Fmt("", 0, kBlue)}, {"c", Fmt("")}}},
        {"automatic colour entry",
         "{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}\\cf1 a\\cf0 b}",
         {{"a", Fmt("", 0, kGreen)}, {"b", Fmt("")}}},
        {"colour components clamped",
         "{\\rtf1{\\colortbl\\red999\\green-4\\blue255;}\\cf0 a}", {{"a", Fmt("", 0, kMagenta)}}},
        {"sizes", "{\\rtf1\\fs21 a\\fs0 b\\fs99999999999 c\\fs-3 d}",
         {{"a", Fmt("", 10.5)}, {"b", Fmt("")}, {"c", Fmt("", 1638)}, {"d", Fmt("")}}},
        {"style switches",
         "{\\rtf1\\b a\\b0\\i b\\i0\\strike c\\strike0\\striked1 d\\strike0 e}",
         {{"a", Fmt("", 0, {}, "b")}, {"b", Fmt("", 0, {}, "i")}, {"cd", Fmt("", 0, {}, "s")},
          {"e", Fmt("")}}},
        {"underlines",
         "{\\rtf1\\ul a\\ul0 b\\uldb c\\ulnone d\\ulc5 e\\ulwave f\\ul0 g}",
         {{"a", Fmt("", 0, {}, "u")}, {"b", Fmt("")}, {"c", Fmt("", 0, {}, "u")},
          {"de", Fmt("")}, {"f", Fmt("", 0, {}, "u")}, {"g", Fmt("")}}},
        {"groups restore formats",
         "{\\rtf1\\b a{\\b0\\i b{\\ul c}d}e}",
         {{"a", Fmt("", 0, {}, "b")}, {"b", Fmt("", 0, {}, "i")}, {"c", Fmt("", 0, {}, "iu")},
          {"d", Fmt("", 0, {}, "i")}, {"e", Fmt("", 0, {}, "b")}}},
        {"\\pard keeps the character format", "{\\rtf1\\b a\\par\\pard b}", {{"a\nb", Fmt("", 0, {}, "b")}}},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto runs = ParseRtf(c.rtf);
        ASSERT_TRUE(runs.has_value());
        EXPECT_EQ(*runs, c.expected);
    }
}

std::string Nested(std::size_t depth, const std::string& inner) {
    return std::string(depth, '{') + inner + std::string(depth, '}');
}

TEST(RtfReader, BoundsGroupDepth) {
    // The file's own group counts as one level.
    const std::size_t deepest = kMaxGroupDepth - 1;
    const auto kept = ParseRtf("{\\rtf1 " + Nested(deepest, "\\b deep") + "after}");
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(*kept, (RunList{{"deep", Fmt("", 0, {}, "b")}, {"after", Fmt("")}}));

    for (const std::size_t depth : {deepest + 1, std::size_t{100000}}) {
        SCOPED_TRACE(depth);
        const auto dropped = ParseRtf("{\\rtf1 a" + Nested(depth, "\\b deep") + "after}");
        ASSERT_TRUE(dropped.has_value());
        EXPECT_EQ(*dropped, (RunList{{"aafter", Fmt("")}}));
    }
    // Never closed: nothing is lost before the deep part, and nothing breaks.
    const auto open = ParseRtf("{\\rtf1 start" + std::string(1'000'000, '{') + "x");
    ASSERT_TRUE(open.has_value());
    EXPECT_EQ(JoinedText(*open), "start");
}

TEST(RtfReader, LargeInputStaysLinear) {
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(5000, 'N') + ";}}\\f0 ";
    for (int i = 0; i < 50000; ++i) {
        rtf += "\\b a\\b0 b";
    }
    rtf += "}";
    const auto runs = ParseRtf(rtf);
    ASSERT_TRUE(runs.has_value());
    ASSERT_EQ(runs->size(), 100000u);
    EXPECT_EQ(runs->front().format.font, std::string(kMaxFontNameBytes, 'N'));
}

}  // namespace
}  // namespace paipan::rtf
