#include "rtf/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "rtf/rtf_text.h"

namespace paipan::rtf {
namespace {

constexpr std::size_t kMaxWordLetters = 32;       // longer control words match nothing
constexpr long long kParamLimit = 2'000'000'000;  // parameters saturate here
constexpr int kMaxFallbackChars = 16;             // \ucN beyond this is clamped

// ---------------------------------------------------------------- tokens

struct Token {
    enum class Kind { End, GroupOpen, GroupClose, Word, Symbol, Text, Escaped };
    Kind kind = Kind::End;
    std::string_view word;  // Word: its letters (at most kMaxWordLetters)
    bool hasParam = false;
    int param = 0;
    unsigned char ch = 0;  // Symbol: the character after '\'; Text: the byte;
                           // Escaped: the byte of \'hh, \\, \{ or \}
};

Token MakeToken(Token::Kind kind, unsigned char ch = 0) {
    Token t;
    t.kind = kind;
    t.ch = ch;
    return t;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Splits RTF bytes into tokens. Line breaks in the file are not text and are
// dropped here.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view in) : in_(in) {}

    Token Next() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            switch (c) {
            case '{': return MakeToken(Token::Kind::GroupOpen);
            case '}': return MakeToken(Token::Kind::GroupClose);
            case '\\': return ReadControl();
            case '\r':
            case '\n': continue;
            default: return MakeToken(Token::Kind::Text, static_cast<unsigned char>(c));
            }
        }
        return Token{};
    }

    // Passes over the data of \binN.
    void Skip(int count) {
        if (count > 0) {
            pos_ += std::min(static_cast<std::size_t>(count), in_.size() - pos_);
        }
    }

private:
    Token ReadControl() {
        if (pos_ >= in_.size()) {
            return Token{};
        }
        const char c = in_[pos_];
        if (IsLetter(c)) {
            return ReadWord();
        }
        ++pos_;
        if (c == '\'') {
            return ReadHexByte();
        }
        if (c == '\\' || c == '{' || c == '}') {
            return MakeToken(Token::Kind::Escaped, static_cast<unsigned char>(c));
        }
        return MakeToken(Token::Kind::Symbol, static_cast<unsigned char>(c));
    }

    Token ReadHexByte() {
        if (pos_ + 2 > in_.size()) {
            pos_ = in_.size();
            return MakeToken(Token::Kind::Symbol, '\'');
        }
        const int high = HexValue(in_[pos_]);
        const int low = HexValue(in_[pos_ + 1]);
        if (high < 0 || low < 0) {  // a broken escape: the characters stay text
            return MakeToken(Token::Kind::Symbol, '\'');
        }
        pos_ += 2;
        return MakeToken(Token::Kind::Escaped, static_cast<unsigned char>(high * 16 + low));
    }

    Token ReadWord() {
        const std::size_t start = pos_;
        while (pos_ < in_.size() && IsLetter(in_[pos_])) {
            ++pos_;
        }
        Token t = MakeToken(Token::Kind::Word);
        t.word = in_.substr(start, std::min(pos_ - start, kMaxWordLetters));
        ReadParam(t);
        if (pos_ < in_.size() && in_[pos_] == ' ') {
            ++pos_;  // the blank that ends a control word belongs to it
        }
        return t;
    }

    void ReadParam(Token& t) {
        bool negative = false;
        if (pos_ + 1 < in_.size() && in_[pos_] == '-' && IsDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        long long value = 0;
        while (pos_ < in_.size() && IsDigit(in_[pos_])) {
            value = std::min(value * 10 + (in_[pos_] - '0'), kParamLimit);
            t.hasParam = true;
            ++pos_;
        }
        t.param = static_cast<int>(negative ? -value : value);
    }

    std::string_view in_;
    std::size_t pos_ = 0;
};

// ---------------------------------------------------------------- state

enum class Destination { Body, FontTable, ColourTable, Skip };

// \loch, \hich and \dbch name the character set of the text that follows,
// and with it which set the associated properties (\af, \afs, \ab, \ai)
// describe; after \rtlch they describe right-to-left text until \ltrch.
// Writers use the words both ways: Word's paragraph defaults
// "\loch\af0\hich\af0\dbch\af13" only say whose properties follow, while a
// word after the properties, as in LibreOffice's "\dbch\af1\loch 23" and
// Word's "\dbch\af13\loch\f13", says which set the run's text is in.
enum class CharSet { Low, High, Double, RightToLeft };

// The associated properties of double-byte (CJK) text, where the file gives
// them: LibreOffice writes a Chinese run's face and size only this way.
struct CjkProperties {
    int font = -1;       // -1: not given
    int halfPoints = 0;  // 0: not given
    std::optional<bool> bold;
    std::optional<bool> italic;
};

struct CharState {
    int font = -1;       // -1: the default font (\deff)
    int halfPoints = 0;  // 0: the default size
    int colour = -1;     // index into the colour table; -1: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;  // \v: text that is not shown
    CharSet charSet = CharSet::Low;
    CharSet ltrCharSet = CharSet::Low;  // the set \ltrch returns to
    bool runMarked = false;             // ltrCharSet says which set the run's text is in
    CjkProperties cjk;
};

struct GroupState {
    Destination destination = Destination::Body;
    CharState chars;
    int fallbackChars = 1;  // \ucN: characters that follow each \uN for old readers
    bool starred = false;   // after \*: the next control word names a destination
};

struct Font {
    std::string name;
    std::optional<int> codePage;  // nullopt: the document's code page
};

// A font table entry being read.
struct FontEntry {
    bool open = false;
    int index = 0;
    std::optional<int> codePage;
    std::string name;
};

// A colour table entry being read.
struct ColourEntry {
    Rgb rgb;
    bool set = false;
};

// Destinations whose content is not part of the visible text (besides every
// {\*\...} group). Field results (\fldrslt) stay, their instructions go.
constexpr auto kSkippedDestinations = std::to_array<std::string_view>({"info",
                                                                       "stylesheet",
                                                                       "pict",
                                                                       "shp",
                                                                       "nonshppict",
                                                                       "object",
                                                                       "objdata",
                                                                       "header",
                                                                       "headerl",
                                                                       "headerr",
                                                                       "headerf",
                                                                       "footer",
                                                                       "footerl",
                                                                       "footerr",
                                                                       "footerf",
                                                                       "footnote",
                                                                       "ftnsep",
                                                                       "ftnsepc",
                                                                       "aftnsep",
                                                                       "aftnsepc",
                                                                       "ftncn",
                                                                       "aftncn",
                                                                       "annotation",
                                                                       "atnid",
                                                                       "atnauthor",
                                                                       "fldinst",
                                                                       "xe",
                                                                       "tc",
                                                                       "txe",
                                                                       "pn",
                                                                       "listtable",
                                                                       "listoverridetable",
                                                                       "revtbl",
                                                                       "rsidtbl",
                                                                       "filetbl",
                                                                       "generator",
                                                                       "author",
                                                                       "operator",
                                                                       "title",
                                                                       "subject",
                                                                       "keywords",
                                                                       "comment",
                                                                       "doccomm",
                                                                       "falt",
                                                                       "panose",
                                                                       "bkmkstart",
                                                                       "bkmkend",
                                                                       "themedata",
                                                                       "colorschememapping",
                                                                       "latentstyles",
                                                                       "datastore",
                                                                       "xmlnstbl",
                                                                       "userprops",
                                                                       "docvar",
                                                                       "template"});

struct SpecialChar {
    std::string_view word;
    char32_t cp;
};

constexpr auto kSpecialChars = std::to_array<SpecialChar>(
    {{"par", U'\n'},        {"sect", U'\n'},       {"page", U'\n'},    {"row", U'\n'},     {"line", 0x2028},
     {"tab", U'\t'},        {"cell", U'\t'},       {"emdash", 0x2014}, {"endash", 0x2013}, {"emspace", 0x2003},
     {"enspace", 0x2002},   {"qmspace", 0x2005},   {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
     {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},    {"zwnj", 0x200C},   {"ltrmark", 0x200E},
     {"rtlmark", 0x200F}});

// Every kind of underline turns underlining on; \ulc (its colour) does not.
constexpr auto kUnderlineWords = std::to_array<std::string_view>(
    {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd", "ulthdash",
     "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"});

template <typename Range>
bool Contains(const Range& range, std::string_view word) {
    return std::find(range.begin(), range.end(), word) != range.end();
}

bool IsOn(const Token& t) { return !t.hasParam || t.param != 0; }

// Where a character takes its face from. Word and LibreOffice draw Han
// characters, kana, hangul and full-width forms (what only an Asian font
// holds) with the associated Asian properties, and letters of other scripts
// with the regular ones, whatever run they stand in. Characters that both
// kinds of font draw (digits, punctuation, blanks, symbols such as ①★℃,
// emoji) go with the run they were written in; where no run says, with the
// character before them, as LibreOffice keeps "中①" in one face.
enum class Script { Asian, Western, Shared };

bool IsAsianOnly(char32_t cp) {
    const auto in = [cp](char32_t first, char32_t last) { return cp >= first && cp <= last; };
    return in(0x1100, 0x11FF) || in(0x2E80, 0x2FFF) || in(0x3000, 0x9FFF) || in(0xA000, 0xA4CF) || in(0xA960, 0xA97F) ||
           in(0xAC00, 0xD7FF) || in(0xF900, 0xFAFF) || in(0xFE30, 0xFE4F) || in(0xFF00, 0xFFEF) ||
           in(0x1B000, 0x1B16F) || in(0x20000, 0x3FFFF);
}

// Blocks of punctuation, marks and symbols beyond Latin-1, which no script
// owns: combining marks, general punctuation to the miscellaneous symbols and
// arrows (℃ ① ★ ─ ▲), supplemental punctuation, private use, variation
// selectors, specials, and the planes of musical, mathematical and emoji
// symbols.
bool IsSharedSymbol(char32_t cp) {
    const auto in = [cp](char32_t first, char32_t last) { return cp >= first && cp <= last; };
    return cp == 0xD7 || cp == 0xF7 || in(0x0300, 0x036F) || in(0x2000, 0x2BFF) || in(0x2E00, 0x2E7F) ||
           in(0xE000, 0xF8FF) || in(0xFE00, 0xFE0F) || in(0xFE20, 0xFE2F) || in(0xFFF0, 0xFFFF) ||
           in(0x1D000, 0x1D7FF) || in(0x1F000, 0x1FBFF) || cp >= 0xE0000;
}

Script ScriptOf(char32_t cp) {
    if (IsAsianOnly(cp)) {
        return Script::Asian;
    }
    if (cp == U'\n' || (cp < 0x80 && IsLetter(static_cast<char>(cp))) || (cp >= 0xC0 && !IsSharedSymbol(cp))) {
        return Script::Western;  // a paragraph mark too: a paragraph starts afresh
    }
    return Script::Shared;
}

void TruncateUtf8(std::string& text, std::size_t limit) {
    if (text.size() <= limit) {
        return;
    }
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;  // do not cut a character in two
    }
    text.resize(end);
}

std::string TrimBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// ---------------------------------------------------------------- reader

class RtfReader {
public:
    RtfReader(std::string_view in, const ReadLimits& limits) : tokens_(in), limits_(limits) {}
    RunList Read();
    LimitPassed Passed() const { return passed_; }

private:
    GroupState& Group() { return stack_.back(); }
    void OnToken(const Token& t);
    bool ConsumedAsFallback(const Token& t);
    void OpenGroup();
    void CloseGroup();
    void OnTextByte(const Token& t);
    void OnSymbol(unsigned char ch);
    void OnWord(const Token& t);
    bool OnDestinationWord(std::string_view word);
    bool OnDocumentWord(const Token& t);
    bool OnFormatWord(const Token& t);
    bool OnCharSetWord(const Token& t);
    bool OnStarredWord(const Token& t);
    bool OnCharWord(const Token& t);
    void OnFontTableWord(const Token& t);
    void OnColourTableWord(const Token& t);
    void OnUnicode(int param);
    void AddCodePoint(char32_t cp);
    void DropHighSurrogate();
    void FlushBytes();
    void Emit(std::string_view utf8);
    void FinishFontEntry();
    int CodePage() const;
    RunFormat CurrentFormat(bool cjk) const;
    void EmitBody(std::string_view utf8);

    Tokenizer tokens_;
    ReadLimits limits_;
    LimitPassed passed_ = LimitPassed::None;
    std::vector<GroupState> stack_;  // the innermost group last; empty outside the file's group
    std::size_t droppedDepth_ = 0;   // groups opened beyond kMaxGroupDepth
    bool ended_ = false;             // the file's outermost group has closed
    int fallbackToSkip_ = 0;         // characters of a \uN fallback still to pass over
    std::string pendingBytes_;       // text bytes not yet decoded
    char32_t highSurrogate_ = 0;     // first half of a \uN surrogate pair
    bool afterAsian_ = false;        // the body's last character took the Asian format
    int ansiCodePage_ = kCodePageWestern;
    int defaultFont_ = 0;
    std::map<int, Font> fonts_;
    FontEntry fontEntry_;
    std::vector<std::optional<Rgb>> colours_;
    ColourEntry colourEntry_;
    CodePageConverter converter_;
    RunList runs_;
};

RunList RtfReader::Read() {
    while (!ended_) {
        const Token t = tokens_.Next();
        if (t.kind == Token::Kind::End) {
            break;
        }
        OnToken(t);
        // A token adds a run or two, or one font: checking after each one
        // stops the reader before either list outgrows its limit.
        if (runs_.size() > limits_.runs || fonts_.size() > limits_.fonts) {
            passed_ = runs_.size() > limits_.runs ? LimitPassed::Runs : LimitPassed::Fonts;
            return std::move(runs_);
        }
    }
    if (!stack_.empty()) {  // a truncated file: keep what was read
        FlushBytes();
        DropHighSurrogate();
        FinishFontEntry();
    }
    return std::move(runs_);
}

void RtfReader::OnToken(const Token& t) {
    if (t.kind == Token::Kind::Word && t.word == "bin") {
        tokens_.Skip(t.param);  // binary data, never text
        return;
    }
    if (droppedDepth_ > 0 || stack_.empty() || Group().destination == Destination::Skip) {
        if (t.kind == Token::Kind::GroupOpen) OpenGroup();
        if (t.kind == Token::Kind::GroupClose) CloseGroup();
        return;
    }
    if (Group().starred && !OnStarredWord(t)) {
        OnToken(t);  // once: the group is now skipped
        return;
    }
    if (ConsumedAsFallback(t)) {
        return;
    }
    if (t.kind == Token::Kind::Text || t.kind == Token::Kind::Escaped) {
        OnTextByte(t);
        return;
    }
    FlushBytes();
    // LibreOffice writes \ucN before each half of a surrogate pair.
    if (t.kind != Token::Kind::Word || (t.word != "u" && t.word != "uc")) {
        DropHighSurrogate();
    }
    switch (t.kind) {
    case Token::Kind::GroupOpen: OpenGroup(); break;
    case Token::Kind::GroupClose: CloseGroup(); break;
    case Token::Kind::Symbol: OnSymbol(t.ch); break;
    default: OnWord(t); break;
    }
}

// After \uN the next \ucN characters (a text byte, an escape or a control
// word each) are the fallback for readers without Unicode; a group boundary
// ends the fallback early.
bool RtfReader::ConsumedAsFallback(const Token& t) {
    if (fallbackToSkip_ == 0) {
        return false;
    }
    if (t.kind == Token::Kind::GroupOpen || t.kind == Token::Kind::GroupClose) {
        fallbackToSkip_ = 0;
        return false;
    }
    --fallbackToSkip_;
    return true;
}

void RtfReader::OpenGroup() {
    if (stack_.empty()) {
        if (ended_) {
            return;
        }
        stack_.push_back(GroupState{});
    } else if (droppedDepth_ > 0 || stack_.size() >= kMaxGroupDepth) {
        ++droppedDepth_;
    } else {
        stack_.push_back(Group());
    }
}

void RtfReader::CloseGroup() {
    if (droppedDepth_ > 0) {
        --droppedDepth_;
        return;
    }
    if (stack_.empty()) {
        return;
    }
    const Destination closing = Group().destination;
    stack_.pop_back();
    if (closing == Destination::FontTable) {
        FinishFontEntry();
    }
    if (stack_.empty()) {
        ended_ = true;  // whatever follows the file's group is not part of it
    }
}

void RtfReader::OnTextByte(const Token& t) {
    DropHighSurrogate();
    const Destination destination = Group().destination;
    const bool raw = t.kind == Token::Kind::Text;
    if (raw && t.ch == ';' && destination != Destination::Body) {
        FlushBytes();
        if (destination == Destination::FontTable) {
            FinishFontEntry();
        } else {
            colours_.push_back(colourEntry_.set ? std::optional<Rgb>(colourEntry_.rgb) : std::nullopt);
            colourEntry_ = ColourEntry{};
        }
        return;
    }
    if (destination == Destination::ColourTable || (raw && t.ch < 0x20 && t.ch != '\t')) {
        return;  // raw control bytes are not text
    }
    if (destination == Destination::FontTable && !fontEntry_.open) {
        return;
    }
    pendingBytes_.push_back(static_cast<char>(t.ch));
}

void RtfReader::OnSymbol(unsigned char ch) {
    switch (ch) {
    case '*': Group().starred = true; break;
    case '~': AddCodePoint(0x00A0); break;  // non-breaking space
    case '_': AddCodePoint(0x2011); break;  // non-breaking hyphen
    case '\r':
    case '\n':
        if (Group().destination == Destination::Body) {
            AddCodePoint(U'\n');  // a backslash before a line break is \par
        }
        break;
    default: break;  // \- optional hyphen, \: index entry, and the rest
    }
}

void RtfReader::OnWord(const Token& t) {
    if (t.word == "uc") {
        Group().fallbackChars = std::clamp(t.param, 0, kMaxFallbackChars);
        return;
    }
    if (t.word == "u") {
        OnUnicode(t.param);
        return;
    }
    if (OnDestinationWord(t.word)) {
        return;
    }
    switch (Group().destination) {
    case Destination::FontTable: OnFontTableWord(t); break;
    case Destination::ColourTable: OnColourTableWord(t); break;
    default:
        if (!OnDocumentWord(t) && !OnFormatWord(t) && !OnCharSetWord(t)) {
            OnCharWord(t);
        }
        break;
    }
}

// {\*\word ...} is skipped unless this reader knows the destination: only a
// field's result (AbiWord writes {\*\fldrslt ...}) is kept. False when the
// group is to be skipped.
bool RtfReader::OnStarredWord(const Token& t) {
    Group().starred = false;
    if (t.kind == Token::Kind::Word && t.word == "fldrslt") {
        return true;
    }
    Group().destination = Destination::Skip;
    return false;
}

bool RtfReader::OnDestinationWord(std::string_view word) {
    if (word == "fonttbl") {
        Group().destination = Destination::FontTable;
        fontEntry_ = FontEntry{};
    } else if (word == "colortbl") {
        Group().destination = Destination::ColourTable;
        colourEntry_ = ColourEntry{};
    } else if (Contains(kSkippedDestinations, word)) {
        Group().destination = Destination::Skip;
    } else {
        return false;
    }
    return true;
}

bool RtfReader::OnDocumentWord(const Token& t) {
    if (t.word == "ansi") {
        ansiCodePage_ = kCodePageWestern;
    } else if (t.word == "mac") {
        ansiCodePage_ = 10000;
    } else if (t.word == "pc") {
        ansiCodePage_ = 437;
    } else if (t.word == "pca") {
        ansiCodePage_ = 850;
    } else if (t.word == "ansicpg") {
        if (t.param > 0) ansiCodePage_ = t.param;
    } else if (t.word == "deff") {
        defaultFont_ = t.param;
    } else {
        return false;
    }
    return true;
}

bool RtfReader::OnFormatWord(const Token& t) {
    CharState& chars = Group().chars;
    if (t.word == "plain") {
        chars = CharState{};
    } else if (t.word == "f") {
        if (t.hasParam) chars.font = t.param;
    } else if (t.word == "fs") {
        chars.halfPoints = t.param > 0 ? std::min(t.param, kMaxHalfPoints) : 0;
    } else if (t.word == "cf") {
        chars.colour = std::max(t.param, -1);
    } else if (t.word == "b") {
        chars.bold = IsOn(t);
    } else if (t.word == "i") {
        chars.italic = IsOn(t);
    } else if (t.word == "v") {
        chars.hidden = IsOn(t);
    } else if (t.word == "strike" || t.word == "striked") {
        chars.strike = IsOn(t);
    } else if (t.word == "ulnone") {
        chars.underline = false;
    } else if (Contains(kUnderlineWords, t.word)) {
        chars.underline = IsOn(t);
    } else {
        return false;
    }
    return true;
}

// Associated properties count only for double-byte text; those of the
// other sets (right-to-left text above all) do not reach what we show.
bool RtfReader::OnCharSetWord(const Token& t) {
    CharState& chars = Group().chars;
    if (t.word == "loch" || t.word == "hich" || t.word == "dbch") {
        chars.charSet = t.word == "loch" ? CharSet::Low : t.word == "hich" ? CharSet::High : CharSet::Double;
        chars.ltrCharSet = chars.charSet;
        chars.runMarked = true;
        return true;
    }
    if (t.word == "rtlch" || t.word == "ltrch") {
        chars.charSet = t.word == "rtlch" ? CharSet::RightToLeft : chars.ltrCharSet;
        return true;
    }
    if (t.word != "af" && t.word != "afs" && t.word != "ab" && t.word != "ai") {
        return false;
    }
    if (chars.charSet == CharSet::RightToLeft) {
        return true;
    }
    chars.runMarked = false;  // the set word named whose properties these are
    if (chars.charSet == CharSet::Double) {
        CjkProperties& cjk = chars.cjk;
        if (t.word == "af" && t.hasParam) cjk.font = t.param;
        if (t.word == "afs") cjk.halfPoints = t.param > 0 ? std::min(t.param, kMaxHalfPoints) : 0;
        if (t.word == "ab") cjk.bold = IsOn(t);
        if (t.word == "ai") cjk.italic = IsOn(t);
    }
    return true;
}

bool RtfReader::OnCharWord(const Token& t) {
    for (const SpecialChar& special : kSpecialChars) {
        if (special.word == t.word) {
            AddCodePoint(special.cp);
            return true;
        }
    }
    return false;
}

void RtfReader::OnFontTableWord(const Token& t) {
    if (t.word == "f") {
        FinishFontEntry();
        fontEntry_.open = true;
        fontEntry_.index = t.param;
    } else if (t.word == "fcharset") {
        if (!fontEntry_.codePage) fontEntry_.codePage = CodePageOfCharset(t.param);
    } else if (t.word == "cpg") {
        if (t.param > 0) fontEntry_.codePage = t.param;  // an explicit code page wins
    }
}

void RtfReader::OnColourTableWord(const Token& t) {
    const auto component = static_cast<std::uint8_t>(std::clamp(t.param, 0, 255));
    if (t.word == "red") {
        colourEntry_.rgb.red = component;
    } else if (t.word == "green") {
        colourEntry_.rgb.green = component;
    } else if (t.word == "blue") {
        colourEntry_.rgb.blue = component;
    } else {
        return;
    }
    colourEntry_.set = true;
}

// \uN carries a signed 16-bit value; characters beyond U+FFFF come as two
// surrogates, each in its own \uN.
void RtfReader::OnUnicode(int param) {
    fallbackToSkip_ = Group().fallbackChars;
    const long long value = param < 0 ? param + 65536LL : param;
    const auto cp = value < 0 || value > 0x10FFFF ? kReplacementChar : static_cast<char32_t>(value);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
        DropHighSurrogate();
        highSurrogate_ = cp;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
        const char32_t high = highSurrogate_;
        highSurrogate_ = 0;
        AddCodePoint(high == 0 ? kReplacementChar : 0x10000 + ((high - 0xD800) << 10) + (cp - 0xDC00));
    } else {
        DropHighSurrogate();
        AddCodePoint(cp);
    }
}

void RtfReader::AddCodePoint(char32_t cp) {
    if (cp == 0) {
        return;
    }
    std::string utf8;
    AppendUtf8(utf8, cp);
    Emit(utf8);
}

// A first surrogate that no second one follows stands for nothing readable.
void RtfReader::DropHighSurrogate() {
    if (highSurrogate_ != 0) {
        highSurrogate_ = 0;
        AddCodePoint(kReplacementChar);
    }
}

void RtfReader::FlushBytes() {
    if (pendingBytes_.empty() || stack_.empty()) {
        return;
    }
    std::string text = converter_.Decode(CodePage(), pendingBytes_);
    pendingBytes_.clear();
    std::erase(text, '\0');
    Emit(text);
}

void RtfReader::Emit(std::string_view utf8) {
    if (stack_.empty()) {
        return;
    }
    switch (Group().destination) {
    case Destination::Body:
        if (!Group().chars.hidden) EmitBody(utf8);
        break;
    case Destination::FontTable:
        if (fontEntry_.open && fontEntry_.name.size() < kMaxFontNameBytes) {
            fontEntry_.name.append(utf8);
            TruncateUtf8(fontEntry_.name, kMaxFontNameBytes);
        }
        break;
    default: break;
    }
}

void RtfReader::FinishFontEntry() {
    if (!fontEntry_.open) {
        return;
    }
    FlushBytes();
    fonts_[fontEntry_.index] = Font{TrimBlanks(fontEntry_.name), fontEntry_.codePage};
    fontEntry_ = FontEntry{};
}

// Text bytes follow the code page of their font's character set, or the
// document's \ansicpg when the font names none.
int RtfReader::CodePage() const {
    std::optional<int> page;
    if (stack_.back().destination == Destination::FontTable) {
        page = fontEntry_.codePage;
    } else {
        const int index = stack_.back().chars.font >= 0 ? stack_.back().chars.font : defaultFont_;
        if (const auto it = fonts_.find(index); it != fonts_.end()) {
            page = it->second.codePage;
        }
    }
    return page.value_or(ansiCodePage_);
}

// Cuts the text where a character takes the other of the run's two formats.
void RtfReader::EmitBody(std::string_view utf8) {
    const RunFormat formats[] = {CurrentFormat(false), CurrentFormat(true)};
    const CharState& chars = Group().chars;
    std::optional<bool> runAsian;  // nullopt: no set word marks the run
    if (chars.runMarked) {
        runAsian = chars.ltrCharSet == CharSet::Double;
    }
    std::size_t start = 0;
    bool asian = afterAsian_;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t here = pos;
        const Script script = ScriptOf(NextCodePoint(utf8, pos));
        const bool next = script == Script::Shared ? runAsian.value_or(asian) : script == Script::Asian;
        if (next != asian) {
            AppendRun(runs_, utf8.substr(start, here - start), formats[asian]);
            start = here;
            asian = next;
        }
    }
    AppendRun(runs_, utf8.substr(start), formats[asian]);
    afterAsian_ = asian;
}

RunFormat RtfReader::CurrentFormat(bool cjk) const {
    const CharState& chars = stack_.back().chars;
    const CjkProperties none;
    const CjkProperties& assoc = cjk ? chars.cjk : none;
    RunFormat format;
    const int font = assoc.font >= 0 ? assoc.font : chars.font;
    const int index = font >= 0 ? font : defaultFont_;
    if (const auto it = fonts_.find(index); it != fonts_.end()) {
        format.font = it->second.name;
    }
    format.pointSize = (assoc.halfPoints > 0 ? assoc.halfPoints : chars.halfPoints) / 2.0;
    if (chars.colour >= 0 && static_cast<std::size_t>(chars.colour) < colours_.size()) {
        format.colour = colours_[static_cast<std::size_t>(chars.colour)];
    }
    format.bold = assoc.bold.value_or(chars.bold);
    format.italic = assoc.italic.value_or(chars.italic);
    format.underline = chars.underline;
    format.strike = chars.strike;
    return format;
}

}  // namespace

bool LooksLikeRtf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes.substr(first).starts_with("{\\rtf");
}

std::optional<RunList> ParseRtf(std::string_view bytes, const ReadLimits& limits, LimitPassed* passed) {
    if (!LooksLikeRtf(bytes)) {
        return std::nullopt;
    }
    RtfReader reader(bytes, limits);
    RunList runs = reader.Read();
    if (passed != nullptr) {
        *passed = reader.Passed();
    }
    return runs;
}

}  // namespace paipan::rtf
