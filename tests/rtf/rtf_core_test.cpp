// The Qt-free RTF reader and writer: files in the styles of common word
// processors, hand-written corner cases, hostile input, the writer's exact
// output, and a quick, deterministic run of the fuzzing invariants. Expected
// texts are the characters the files were written with (the GBK bytes were
// checked with a separate GBK decoder).

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "rtf/rtf_text.h"
#include "fuzz/rtf_invariants.h"

namespace paipan::rtf {

void PrintTo(const Run& run, std::ostream* os) {
    const RunFormat& f = run.format;
    *os << "{\"" << run.text << "\" " << f.font << ' ' << f.pointSize << "pt";
    if (f.colour) *os << " rgb " << int{f.colour->red} << ',' << int{f.colour->green} << ',' << int{f.colour->blue};
    *os << (f.bold ? " b" : "") << (f.italic ? " i" : "") << (f.underline ? " u" : "") << (f.strike ? " s" : "") << '}';
}

namespace {

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 128, 0}, kBrown{192, 64, 0}, kMagenta{255, 0, 255};
const std::string kSong = "宋体", kHei = "黑体";

// `styles` holds the letters b, i, u and s for bold, italic, underline and strikethrough.
RunFormat Fmt(std::string font, double points = 0, std::optional<Rgb> colour = {}, std::string_view styles = "") {
    const auto has = [styles](char c) { return styles.find(c) != std::string_view::npos; };
    return {std::move(font), points, colour, has('b'), has('i'), has('u'), has('s')};
}

std::string Text(const RunList& runs) {
    std::string text;
    for (const Run& run : runs) text += run.text;
    return text;
}

bool IsAscii(const std::string& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string ReadSample(const std::string& name) {
    std::ifstream in(std::string(PAIPAN_RTF_SAMPLES) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Case {
    const char* name;
    std::string rtf;
    RunList expected;
};

void ExpectRuns(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto runs = ParseRtf(c.rtf);
        ASSERT_TRUE(runs.has_value());
        EXPECT_EQ(*runs, c.expected);
    }
}

TEST(RtfReader, ReadsWordProcessorSamples) {
    const std::string tnr = "Times New Roman";
    ExpectRuns({
        // Word: \ansicpg936, GB2312 font names, GBK text in \'hh (one character
        // split over a line break), a field, \info and styles skipped.
        // clang-format off
        {"word_gbk.rtf", ReadSample("word_gbk.rtf"),
         {{"晴川", Fmt(kSong, 10.5, kRed)}, {"四柱", Fmt(kSong, 10.5, {}, "b")}, {"　", Fmt(kSong, 10.5)},
          {"八字", Fmt(kHei, 16, kBrown, "u")}, {"\n", Fmt(tnr, 10.5)}, {"Word 2003", Fmt(tnr, 10.5, {}, "is")},
          {"链接", Fmt(kSong, 10.5, kBlue, "u")}, {"排盘\n", Fmt(kSong, 10.5)}}},
        // clang-format on
        // WordPad: \uN? Chinese, nested groups, \uc2 fallbacks, a surrogate pair,
        // unknown destinations, GBK under a \fcharset134 font in a \ansicpg1252 file.
        // clang-format off
        {"wordpad_unicode.rtf", ReadSample("wordpad_unicode.rtf"),
         {{"Hello ", Fmt("Calibri", 11)}, {"晴川", Fmt(kSong, 11, kBlue, "b")}, {" world\n", Fmt("Calibri", 11)},
          {"四", Fmt(kSong, 11, {}, "i")}, {"柱", Fmt(kSong, 11, {}, "iu")}, {"八", Fmt(kSong, 11)},
          {"字 ", Fmt("Calibri", 11)}, {"struck", Fmt("Calibri", 11, {}, "s")}, {" ", Fmt("Calibri", 11)},
          {"under", Fmt("Calibri", 11, {}, "u")}, {" ", Fmt("Calibri", 11)}, {"again", Fmt("Calibri", 11, {}, "u")},
          {" end\n", Fmt("Calibri", 11)}, {"！\t　你好\U00020000\u2028", Fmt(kSong, 14, kGreen)},
          // clang-format on
          {"x\\y{z} 晴\n", Fmt(kSong, 14, kMagenta)}}},
        // LibreOffice: a Chinese run's face, size, bold and italic only in the
        // \dbch associated properties (\af, \afs, \ab, \ai), digits after
        // Chinese in its face, the right-to-left set's \afs28\ab not applied,
        // the paragraph's CJK face for a run without one; characters beyond
        // U+FFFF as halves each behind \uc1, the emoji after Chinese in the
        // same face and size as LibreOffice shows it.
        {"libreoffice_cjk.rtf",
         ReadSample("libreoffice_cjk.rtf"),
         {{"Latin ", Fmt("Liberation Sans", 10)},
          {"晴川23 ", Fmt("Noto Sans CJK SC", 10.5, {}, "b")},
          {"八字", Fmt("Noto Sans CJK SC", 10.5, kRed, "i")},
          {"\n", Fmt("Liberation Serif", 12)},
          {"甲子", Fmt("Noto Sans CJK SC", 12)},
          {"\U0001F600\U00020000\U00020BB7", Fmt("Noto Sans CJK SC", 10.5)},
          {"\n", Fmt("Liberation Serif", 12)}}},
        // Runs another word processor wrote, with western and Asian faces
        // that differ: a \dbch run of Chinese with symbols and an emoji
        // (written as \uN? pairs, then as LibreOffice writes it) all in the
        // Asian face and size; digits in a run LibreOffice marked \loch stay
        // western right after a Chinese character.
        {"asian_run_symbols.rtf",
         ReadSample("asian_run_symbols.rtf"),
         {{"中①★℃\U0001F600文", Fmt("Noto Serif CJK SC", 16)},
          {"\n", Fmt("DejaVu Serif", 12)},
          {"中①★℃\U0001F600文", Fmt("Noto Serif CJK SC", 16)},
          {"\n", Fmt("DejaVu Serif", 12)}}},
        {"loch_digits_after_han.rtf",
         ReadSample("loch_digits_after_han.rtf"),
         {{"即", Fmt("Noto Serif CJK SC", 16)}, {"23", Fmt("DejaVu Sans", 10)}, {"\n", Fmt("")}}},
        // AbiWord: hyperlinks as fields, the result once as {\*\fldrslt}.
        // clang-format off
        {"abiword_link.rtf", ReadSample("abiword_link.rtf"),
         {{"晴川", Fmt("SimSun", 12)}, {"See ", Fmt("Arial", 12)}, {"the site", Fmt("Arial", 12, kBlue, "u")},
          {" or ", Fmt("Arial", 12)}, {"链接", Fmt("SimSun", 12, kBlue, "u")}, {".\n", Fmt("Arial", 12)}}},
        // clang-format on
        // Hidden text: \v to \v0, a hidden group with its paragraph mark, \plain.
        {"hidden_text.rtf", ReadSample("hidden_text.rtf"), {{"四柱八字 shown\nend\n", Fmt(kSong, 12)}}},
        // Cut inside a nested group, and inside the control word \ulnone:
        // everything before the cut stays.
        {"truncated_group.rtf",
         ReadSample("truncated_group.rtf"),
         {{"晴川", Fmt(kSong, 12)}, {"四柱", Fmt(kSong, 12, kRed, "b")}, {"八", Fmt(kSong, 12, kRed, "bi")}}},
        {"truncated_word.rtf",
         ReadSample("truncated_word.rtf"),
         {{"你好", Fmt(kSong)},
          {"bold", Fmt(kSong, 0, {}, "b")},
          {"plain ", Fmt(kSong)},
          {"under", Fmt(kSong, 0, {}, "u")}}},
    });
}

TEST(RtfReader, RefusesWhatIsNotRtf) {
    for (const std::string& bytes :
         {ReadSample("not_rtf.txt"), std::string(), std::string("   \r\n"), std::string("{\\rt"),
          std::string("rtf1 hello"), std::string("{ \\rtf1 x}"), std::string("\\rtf1"),
          std::string("<html>{\\rtf1}</html>"), std::string("\0{\\rtf1 x}", 10)}) {
        SCOPED_TRACE(bytes);
        EXPECT_FALSE(LooksLikeRtf(bytes));
        EXPECT_FALSE(ParseRtf(bytes).has_value());
    }
    EXPECT_TRUE(ParseRtf("\xEF\xBB\xBF \r\n{\\rtf1 a}").has_value());
    EXPECT_TRUE(ParseRtf("{\\rtf").has_value());
}

// Corners the samples do not reach.
TEST(RtfReader, DecodesCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        // RTF, text
        {"{\\rtf1\\ansicpg936 \\'81@}", "丂"},                      // GBK trail byte written plainly
        {"{\\rtf1\\ansicpg54936 \\'81\\'30\\'81\\'30}", "\u0080"},  // GB18030 four bytes
        {"{\\rtf1\\ansi \\'e9\\'80}", "é€"},                        // western by default
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset134 A;}{\\f1\\fcharset0 B;}}\\f0\\'c4\\'e3\\f1\\'e9}",
         "你é"},
        {"{\\rtf1{\\fonttbl{\\f0\\cpg936 A;}}\\f0\\'ba\\'c3}", "好"},  // the font's own code page
        // \f0 is a font of its own, not the default (\deff1) one.
        {"{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset134 A;}{\\f1\\fcharset0 B;}}\\f0\\'c4\\'e3\\f1\\'e9}", "你é"},
        {"{\\rtf1\\mac \\'8e}", "é"},
        {"{\\rtf1\\ansicpg99999 \\'e9}", "é"},  // unknown code page read as western
        {"{\\rtf1\\ansicpg65001 \\'e6\\'99\\'b4}", "晴"},
        {"{\\rtf1\\ansicpg65001 \\'f9\\'b9\\'b9\\'b9\\'b9}", "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // old 5-byte form
        {"{\\rtf1\\ansicpg65001 \\'ed\\'a0\\'80x}", "\uFFFD\uFFFD\uFFFDx"},                      // encoded surrogate
        {"{\\rtf1\\ansicpg936 \\'c7\\'e7\\'b4}", "晴\uFFFD"},  // lead byte cut off at the end
        {"{\\rtf1 \\u-255?\\u-1?}", "！\uFFFF"},
        {"{\\rtf1\\uc0\\u20320\\u22909}", "你好"},
        {"{\\rtf1{\\uc2\\u20320 ab}\\u22909 c}", "你好"},  // \uc belongs to its group
        {"{\\rtf1\\uc3\\u20320{x}y}", "你xy"},             // the fallback ends at a group
        {"{\\rtf1 \\u-10176?x}", "\uFFFDx"},               // lone first surrogate
        {"{\\rtf1 \\u-9216?}", "\uFFFD"},                  // lone second surrogate
        {"{\\rtf1 \\uc1\\u-10179?\\uc1 x\\uc1\\u-10179?\\uc1\\u26228?}", "\uFFFDx\uFFFD晴"},
        {"{\\rtf1 a{\\*\\fldrslt b}{\\*\\unknown c}{\\*\\par d}{\\*{e}f}g}", "abg"},  // only results kept
        {"{\\rtf1 a\\~b\\-c\\_d}", "a\u00A0bc\u2011d"},
        {"{\\rtf1 a\\\r\nb}", "a\nb"},  // backslash before a line break
        {"{\\rtf1 a\r\nb\rc}", "abc"},  // line breaks in the file are not text
        {"{\\rtf1 \\ldblquote x\\rdblquote\\emdash}", "\u201Cx\u201D\u2014"},
        {std::string("{\\rtf1 a\0b\\'00c}", 17), "abc"},  // NUL bytes dropped
        {"{\\rtf1 \\'zz\\'4}", "zz4"},                    // broken hex escapes
        {"{\\rtf1 a{\\info{\\title t}}{\\stylesheet{s;}}{\\header h}{\\pict 0102}b}", "ab"},
        {"{\\rtf1 a{\\*\\blip\\bin3 }}}}b}", "ab"},  // binary data skipped
        {"{\\rtf1 a\\bin-5 b}", "ab"},
        {"{\\rtf1 a}b{c}", "a"},                               // nothing after the file's group
        {"{\\rtf1 \\" + std::string(1000, 'a') + " b}", "b"},  // overlong control word
        {"{\\rtf1\\uc99999999999999999999\\u20320" + std::string(20, 'x') + "}", "你xxxx"},
        {"{\\rtf1{\\fonttbl{\\f0\\fnil Ari", ""},  // cut in the font table
    };
    for (const auto& [rtf, text] : cases) {
        SCOPED_TRACE(rtf);
        const auto runs = ParseRtf(rtf);
        ASSERT_TRUE(runs.has_value());
        EXPECT_EQ(Text(*runs), text);
    }
}

TEST(RtfReader, ReadsFormats) {
    ExpectRuns({
        {"font table without groups",
         "{\\rtf1{\\fonttbl\\f0\\fswiss Arial;\\f1\\froman Times;}\\f1 a\\f0 b}",
         {{"a", Fmt("Times")}, {"b", Fmt("Arial")}}},
        {"default font and \\plain",
         "{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}x\\f0\\b y\\plain z}",
         {{"x", Fmt("B")}, {"y", Fmt("A", 0, {}, "b")}, {"z", Fmt("B")}}},
        {"font name in \\uN", "{\\rtf1{\\fonttbl{\\f0\\fcharset134 \\u23435?\\u20307?;}}\\f0 a}", {{"a", Fmt(kSong)}}},
        {"font name with alternates and blanks",
         "{\\rtf1{\\fonttbl{\\f0{\\*\\panose 0}  Noto Sans Mono CJK SC {\\*\\falt X};}}\\f0 a}",
         {{"a", Fmt("Noto Sans Mono CJK SC")}}},
        {"font missing from the table", "{\\rtf1{\\fonttbl{\\f0 A;}}\\f7 a}", {{"a", Fmt("")}}},
        {"colour table without the automatic entry",
         "{\\rtf1{\\colortbl\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\cf0 a\\cf1 b\\cf2 c}",
         {{"a", Fmt("", 0, kRed)}, {"b", Fmt("", 0, kBlue)}, {"c", Fmt("")}}},
        {"colour components clamped",
         "{\\rtf1{\\colortbl\\red999\\green-4\\blue255;}\\cf0 a}",
         {{"a", Fmt("", 0, kMagenta)}}},
        {"sizes",
         "{\\rtf1\\fs21 a\\fs0 b\\fs99999999999 c\\fs-3 d}",
         {{"a", Fmt("", 10.5)}, {"b", Fmt("")}, {"c", Fmt("", 1638)}, {"d", Fmt("")}}},
        {"style switches",
         "{\\rtf1\\b a\\b0\\i b\\i0\\strike c\\strike0\\striked1 d\\strike0 e}",
         {{"a", Fmt("", 0, {}, "b")}, {"b", Fmt("", 0, {}, "i")}, {"cd", Fmt("", 0, {}, "s")}, {"e", Fmt("")}}},
        // clang-format off
        {"underlines", "{\\rtf1\\ul a\\ul0 b\\uldb c\\ulnone d\\ulc5 e\\ulwave f\\ul0 g}",
         {{"a", Fmt("", 0, {}, "u")}, {"b", Fmt("")}, {"c", Fmt("", 0, {}, "u")}, {"de", Fmt("")},
          {"f", Fmt("", 0, {}, "u")}, {"g", Fmt("")}}},
        {"groups restore formats", "{\\rtf1\\b a{\\b0\\i b{\\ul c}d}e}",
         {{"a", Fmt("", 0, {}, "b")}, {"b", Fmt("", 0, {}, "i")}, {"c", Fmt("", 0, {}, "iu")},
          {"d", Fmt("", 0, {}, "i")}, {"e", Fmt("", 0, {}, "b")}}},
        // clang-format on
        {"CJK properties: \\ab0 over \\b, cleared by \\plain",
         "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B;}}\\b\\dbch\\ab0 a\\u26228?\\af1\\afs30\\ab\\ai\\u24029?\\plain\\u20843?}",
         {{"a", Fmt("A", 0, {}, "b")}, {"晴", Fmt("A")}, {"川", Fmt("B", 15, {}, "bi")}, {"八", Fmt("A")}}},
        {"\\pard keeps the character format", "{\\rtf1\\b a\\par\\pard b}", {{"a\nb", Fmt("", 0, {}, "b")}}},
    });
}

// Which face a character takes when the western and Asian ones differ (f2
// DejaVu Sans 10 pt, f1 Noto Serif CJK SC 16 pt). The rows follow how
// LibreOffice 7.4 showed such files (its PDF names each glyph's face) and
// the run fonts table of Word's Office Open XML notes (MS-OI29500 2.1.88).
TEST(RtfReader, FollowsTheRunsTheWriterMarked) {
    const std::string head = "{\\rtf1{\\fonttbl{\\f1 Noto Serif CJK SC;}{\\f2 DejaVu Sans;}}\\f2\\fs20 ";
    const RunFormat western = Fmt("DejaVu Sans", 10), asian = Fmt("Noto Serif CJK SC", 16);
    const std::pair<std::string, RunList> cases[] = {
        // RTF after the head, runs
        // Word writes Chinese after \loch: it still takes the Asian face; the
        // symbol and digits after it keep the run's western one.
        {"\\hich\\af1\\dbch\\af1\\afs32\\loch\\f2 \\u20013?\\u9312?12 ab}", {{"中", asian}, {"①12 ab", western}}},
        // A set word after the properties marks the run: in \dbch digits,
        // blanks, symbols and emoji take the Asian face, letters never do.
        {"\\loch\\f2\\dbch\\af1\\afs32\\dbch 12 \\u9733?\\u-10179?\\u-8704?ab}",
         {{"12 ★\U0001F600", asian}, {"ab", western}}},
        // ... also in groups inside the run (LibreOffice puts each \uc1 there).
        {"a{\\dbch\\af1\\afs32\\dbch{\\uc1\\u-10179?\\uc1\\u-8704?}}}", {{"a", western}, {"\U0001F600", asian}}},
        // Set words before their properties, as in Word's paragraph defaults,
        // mark nothing: unmarked characters go with the one before them.
        {"\\loch\\af2\\hich\\af2\\dbch\\af1\\afs32{\\i Word 2003}\\u20013?\\u9312?}",
         {{"Word 2003", Fmt("DejaVu Sans", 10, {}, "i")}, {"中①", asian}}},
        {"a{\\dbch\\af1\\afs32 \\u9312?\\u12354?\\u8451?}}", {{"a①", western}, {"あ℃", asian}}},
        // Right-to-left properties after the mark do not undo it.
        {"\\dbch\\af1\\afs32\\loch\\rtlch\\af1\\ltrch \\u20013?\\u9312?}", {{"中", asian}, {"①", western}}},
        // A paragraph mark is western and starts the guess afresh.
        {"\\dbch\\af1\\afs32 \\u20013?\\par \\u9312?}", {{"中", asian}, {"\n①", western}}},
    };
    for (const auto& [rtf, expected] : cases) {
        SCOPED_TRACE(rtf);
        const auto runs = ParseRtf(head + rtf);
        ASSERT_TRUE(runs.has_value());
        EXPECT_EQ(*runs, expected);
    }
}

// The program's own chart (name 李😀, 9 pt) as LibreOffice 7.4 saved it
// again: every character but the paragraph marks, which LibreOffice writes
// in the paragraph's format, reads in the chart's face and size.
TEST(RtfReader, ReadsTheChartLibreOfficeSavedAsWritten) {
    const auto runs = ParseRtf(ReadSample("libreoffice_chart.rtf"));
    ASSERT_TRUE(runs.has_value());
    std::size_t characters = 0;
    for (const auto& run : *runs) {
        for (std::size_t pos = 0; pos < run.text.size();) {
            const char32_t cp = NextCodePoint(run.text, pos);
            if (cp == U'\n') continue;
            ++characters;
            EXPECT_EQ(run.format.font, "Noto Sans Mono CJK SC") << run.text;
            EXPECT_EQ(run.format.pointSize, 9) << run.text;
        }
    }
    EXPECT_EQ(characters, 1440u);  // the chart's 1438 and two U+2006 LibreOffice put into a double blank
    EXPECT_TRUE(Text(*runs).starts_with("姓名：李\U0001F600　　出生地：安徽"));
}

TEST(RtfReader, BoundsHostileInput) {
    const auto nested = [](std::size_t depth) {
        return std::string(depth, '{') + "\\b deep" + std::string(depth, '}');
    };
    // The file's own group counts as one level.
    ExpectRuns({{"deepest kept",
                 "{\\rtf1 " + nested(kMaxGroupDepth - 1) + "after}",
                 {{"deep", Fmt("", 0, {}, "b")}, {"after", Fmt("")}}},
                {"one deeper dropped", "{\\rtf1 a" + nested(kMaxGroupDepth) + "after}", {{"aafter", Fmt("")}}},
                {"far deeper dropped", "{\\rtf1 a" + nested(100000) + "after}", {{"aafter", Fmt("")}}}});
    // Never closed: nothing is lost before the deep part, and nothing breaks.
    const auto open = ParseRtf("{\\rtf1 start" + std::string(1'000'000, '{') + "x");
    ASSERT_TRUE(open.has_value());
    EXPECT_EQ(Text(*open), "start");
    // Large input stays linear; long font names are cut.
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(5000, 'N') + ";}}\\f0 ";
    for (int i = 0; i < 50000; ++i) rtf += "\\b a\\b0 b";
    const auto runs = ParseRtf(rtf + "}");
    ASSERT_TRUE(runs.has_value());
    ASSERT_EQ(runs->size(), 100000u);
    EXPECT_EQ(runs->front().format.font, std::string(kMaxFontNameBytes, 'N'));
}

// A file beyond the caller's limits is read only until it passes one.
TEST(RtfReader, StopsAtItsLimits) {
    std::string runs = "{\\rtf1 ";
    for (int i = 0; i < 5; ++i) runs += "{\\b a}b";
    LimitPassed passed = LimitPassed::Fonts;
    EXPECT_EQ(ParseRtf(runs + "}", {.runs = 10}, &passed)->size(), 10u);
    EXPECT_EQ(passed, LimitPassed::None);
    for (int i = 0; i < 100000; ++i) runs += "{\\b a}b";
    EXPECT_EQ(ParseRtf(runs + "}", {.runs = 10}, &passed)->size(), 11u);
    EXPECT_EQ(passed, LimitPassed::Runs);
    // Entries count by their number: a repeated \f1 replaces the first.
    const std::string fonts = "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B;}{\\f1 C;}";
    ASSERT_TRUE(ParseRtf(fonts + "}\\f1 x}", {.fonts = 2}, &passed).has_value());
    EXPECT_EQ(passed, LimitPassed::None);
    EXPECT_EQ(ParseRtf(fonts + "{\\f2 D;}}\\f1 x}", {.fonts = 2}, &passed)->size(), 0u);
    EXPECT_EQ(passed, LimitPassed::Fonts);
}

TEST(RtfWriter, WritesHeaderTablesAndRuns) {
    // 晴 is U+6674 (26228), 川 U+5DDD (24029); 宋体 in GBK is CB CE CC E5.
    EXPECT_EQ(SerializeRtf(
                  {{"晴川\n", Fmt(kSong, 10.5, kRed, "b")}, {"a{b}\\c", Fmt("Noto Sans Mono CJK SC", 12, {}, "ius")}}),
              "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1"
              "{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
              "{\\f1\\fnil\\fcharset0 Noto Sans Mono CJK SC;}}\r\n"
              "{\\colortbl;\\red255\\green0\\blue0;}\r\n"
              "\\pard\\plain\\dbch\\af0\\loch\\f0\\fs21\\cf1\\b \\u26228\\'3f\\u24029\\'3f\\par\r\n"
              "\\plain\\dbch\\af1\\loch\\f1\\fs24\\i\\ul\\strike a\\{b\\}\\\\c\r\n}\r\n");
    // clang-format off
    const std::pair<std::string, std::string> texts[] = {  // text, as written
        {"\\", "\\\\"}, {"{}", "\\{\\}"}, {"\t", "\\tab "}, {"\n", "\\par\r\n"}, {"\u2028", "\\line "},
        {"　", "\\u12288\\'3f"}, {"！", "\\u-255\\'3f"},  // U+FF01 = 65281 = 65536 - 255
        // clang-format on
        {"\U00020000", "\\u-10176\\'3f\\u-9216\\'3f"},  // surrogates D840 DC00
        {"即23", "\\u21363\\'3f23"},                    // 即 is U+5373; the digits stay plain
        {"é", "\\u233\\'3f"},
        {"\r", "\\u13\\'3f"},
        {"\xff", "\\u-3\\'3f"}};  // a stray byte becomes U+FFFD
    for (const auto& [text, written] : texts) {
        const std::string out = SerializeRtf({{text, Fmt("A")}});
        EXPECT_TRUE(IsAscii(out) && out.find("\\plain\\dbch\\af0\\loch\\f0 " + written + "\r\n}") != std::string::npos)
            << out;
    }
    const std::pair<std::string, std::string> fonts[] = {
        // name, font table entry
        {"宋体", "\\fcharset134 \\'cb\\'ce\\'cc\\'e5;"},
        {"Mixed 黑体", "\\fcharset134 Mixed \\'ba\\'da\\'cc\\'e5;"},
        {"A;B{}", "\\fcharset0 A\\'3bB\\'7b\\'7d;"},
        {"", "\\fcharset0 ;"},
        // GBK has no emoji: the whole name goes as \uN.
        {"宋体😀", "\\fcharset134 \\u23435\\'3f\\u20307\\'3f\\u-10179\\'3f\\u-8704\\'3f;"}};
    for (const auto& [name, entry] : fonts) {
        const std::string out = SerializeRtf({{"x", Fmt(name)}});
        EXPECT_TRUE(IsAscii(out) && out.find("{\\fonttbl{\\f0\\fnil" + entry + "}}") != std::string::npos) << out;
    }
}

TEST(RtfWriter, WriteThenReadKeepsRuns) {
    const RunList documents[] = {{},
                                 {{"\\{}\t\u2028\r!~\x01 é€\uFFFF\U0001F600", Fmt(kSong, 1638)},
                                  {"a即23", Fmt("A;B{}", 0.5)},
                                  {"b晴", Fmt("宋体😀")},
                                  {"c", Fmt("", 0, kRed)},
                                  {"\n\n", Fmt("")}}};
    for (const RunList& runs : documents) {
        const std::string out = SerializeRtf(runs);
        EXPECT_TRUE(IsAscii(out)) << out;
        const auto again = ParseRtf(out);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(*again, runs);
    }
}

// Samples, mutations and random bytes keep the fuzzing invariants, among them
// ASCII output and write-then-read giving the same runs.
TEST(RtfRobustness, SamplesAndMutationsKeepTheInvariants) {
    for (const std::string bad : {"\xf9\xb9\xb9\xb9\xb9", "\xed\xa0\x80", "\xc0\xaf", "\xe6\x99", "\x80"})
        EXPECT_FALSE(testing::IsWellFormedUtf8(bad)) << bad;  // the check itself can fail
    EXPECT_TRUE(testing::IsWellFormedUtf8("晴\U00020000\uFFFF\u0080a"));
    std::vector<std::string> inputs;
    const std::string fragments[] = {"{",           "}",       "\\",   "\\'",          "\\'c7",        "\\u-",
                                     "\\u55357?",   "\\uc9",   "{\\*", "\\bin9 ",      "\\fonttbl",    "\\colortbl",
                                     "\\f",         "\\fs-",   ";",    "\\par",        "\\ansicpg936", "\\ansicpg65001",
                                     "\\dbch\\af1", "\\rtlch", "\\v",  "{\\*\\fldrslt"};
    std::mt19937 random(20240301);  // fixed: the same inputs every run
    for (const char* file : {"word_gbk.rtf", "wordpad_unicode.rtf", "libreoffice_cjk.rtf", "abiword_link.rtf",
                             "hidden_text.rtf", "truncated_group.rtf", "truncated_word.rtf", "not_rtf.txt",
                             "asian_run_symbols.rtf", "loch_digits_after_han.rtf", "libreoffice_chart.rtf"}) {
        const std::string sample = ReadSample(file);
        ASSERT_FALSE(sample.empty()) << file;
        inputs.push_back(sample);
        for (int k = 0; k < 600; ++k) {
            std::string bytes = sample;
            for (int edits = 1 + static_cast<int>(random() % 8); edits > 0; --edits) {
                const std::size_t at = random() % (bytes.size() + 1);
                switch (random() % 4) {
                case 0:
                    if (at < bytes.size()) bytes[at] = static_cast<char>(random() % 256);
                    break;
                case 1: bytes.insert(at, fragments[random() % std::size(fragments)]); break;
                case 2: bytes.erase(at, random() % 16); break;
                default: bytes.resize(at); break;  // cut off
                }
            }
            inputs.push_back(bytes);
        }
    }
    for (int k = 0; k < 500; ++k) {
        std::string bytes = "{\\rtf1";
        for (std::size_t n = random() % 300; n > 0; --n) bytes.push_back(static_cast<char>(random() % 256));
        inputs.push_back(bytes);
    }
    for (const std::string& bytes : inputs)
        ASSERT_EQ(testing::CheckReader(bytes), "") << "for " << bytes.size() << " bytes: " << bytes;
}

}  // namespace
}  // namespace paipan::rtf
