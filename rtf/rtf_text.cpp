#include "rtf/rtf_text.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <vector>

namespace paipan::rtf {
namespace {

// A hostile file could name thousands of code pages; only this many
// converters are opened, later ones read as Western.
constexpr std::size_t kMaxConverters = 32;
const iconv_t kFailedOpen = reinterpret_cast<iconv_t>(-1);

// iconv's names for a Windows code page, the preferred first.
std::vector<std::string> IconvNames(int codePage) {
    switch (codePage) {
    case kCodePageChinese: return {"CP936", "GBK", "GB18030"};
    case 54936: return {"GB18030"};
    case 950: return {"CP950", "BIG5"};
    case 10000: return {"MACINTOSH"};
    default: break;
    }
    if (codePage <= 0) {
        return {};
    }
    return {"CP" + std::to_string(codePage)};
}

// Runs `cd` over all of `in`; a byte it cannot convert is handed to `onError`,
// which returns false to give up.
template <typename OnError>
bool Convert(iconv_t cd, std::string_view in, std::string& out, OnError onError) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[256];
    while (true) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const bool finishing = srcLeft == 0;
        const std::size_t r = finishing ? iconv(cd, nullptr, nullptr, &dst, &dstLeft)
                                        : iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<std::size_t>(dst - buf));
        if (r != static_cast<std::size_t>(-1)) {
            if (finishing) {
                return true;
            }
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        if (finishing || !onError(out)) {
            return false;
        }
        ++src;  // EILSEQ or a sequence cut off at the end: drop one byte
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

}  // namespace

std::optional<int> CodePageOfCharset(int charset) {
    switch (charset) {
    case 77: return 10000;              // Mac Roman
    case 128: return 932;               // Shift JIS
    case 129: return 949;               // Hangul
    case 130: return 1361;              // Johab
    case 134: return kCodePageChinese;  // GB2312, read as its superset GBK
    case 136: return 950;               // Big5
    case 161: return 1253;              // Greek
    case 162: return 1254;              // Turkish
    case 163: return 1258;              // Vietnamese
    case 177: return 1255;              // Hebrew
    case 178: return 1256;              // Arabic
    case 186: return 1257;              // Baltic
    case 204: return 1251;              // Cyrillic
    case 222: return 874;               // Thai
    case 238: return 1250;              // Central European
    case 255: return 437;               // OEM
    default: return std::nullopt;       // 0 ANSI, 1 default, 2 symbol and the rest
    }
}

void CodePageConverter::IconvCloser::operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }

void* CodePageConverter::Find(int codePage, bool toUtf8) {
    const auto key = std::make_pair(codePage, toUtf8);
    if (const auto it = handles_.find(key); it != handles_.end()) {
        return it->second.get();
    }
    if (handles_.size() >= kMaxConverters) {
        return nullptr;
    }
    Handle handle;
    for (const std::string& name : IconvNames(codePage)) {
        const iconv_t cd = toUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
        if (cd != kFailedOpen) {
            handle.reset(cd);
            break;
        }
    }
    return handles_.emplace(key, std::move(handle)).first->second.get();
}

std::string CodePageConverter::Decode(int codePage, std::string_view bytes) {
    // Plain ASCII is itself in the pages most files use; no need for iconv.
    const bool asciiPage = codePage == kCodePageWestern || codePage == kCodePageChinese;
    if (asciiPage &&
        std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(bytes);
    }
    if (codePage == kCodePageUtf8) {
        return ValidUtf8(bytes);  // iconv lets old five- and six-byte forms through
    }
    void* cd = Find(codePage, true);
    if (cd == nullptr) {
        cd = Find(kCodePageWestern, true);
    }
    std::string out;
    if (cd == nullptr) {  // no iconv at all: read the bytes as Latin-1
        for (const char c : bytes) {
            AppendUtf8(out, static_cast<unsigned char>(c));
        }
        return out;
    }
    out.reserve(bytes.size() * 2);
    Convert(static_cast<iconv_t>(cd), bytes, out, [](std::string& text) {
        AppendUtf8(text, kReplacementChar);
        return true;
    });
    return ValidUtf8(out);  // whatever a converter lets through, the text is well-formed
}

std::optional<std::string> CodePageConverter::Encode(int codePage, std::string_view utf8) {
    void* cd = Find(codePage, false);
    std::string out;
    if (cd == nullptr || !Convert(static_cast<iconv_t>(cd), utf8, out, [](std::string&) { return false; })) {
        return std::nullopt;
    }
    return out;
}

}  // namespace paipan::rtf
