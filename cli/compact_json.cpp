#include "cli/compact_json.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "util/utf8.h"

namespace paipan {
namespace {

// The bytes DumpCompact writes, at the end of a string that grows ahead of
// them (Finish cuts it to what was written).
class JsonSink {
public:
    explicit JsonSink(std::string& bytes) : bytes_(bytes) {
        bytes_.resize(std::max<std::size_t>(bytes_.capacity(), 4096));
    }
    void Put(char c) { *Room(1) = c, ++size_; }
    void Put(std::string_view piece) {
        std::copy(piece.begin(), piece.end(), Room(piece.size()));
        size_ += piece.size();
    }
    void Finish() { bytes_.resize(size_); }

private:
    char* Room(std::size_t n) {
        if (size_ + n > bytes_.size()) bytes_.resize(std::max(2 * bytes_.size(), size_ + n));
        return bytes_.data() + size_;
    }

    std::string& bytes_;
    std::size_t size_ = 0;
};

// Which ASCII bytes a JSON string escapes: the control characters, quote and
// backslash.
constexpr std::array<bool, 128> kEscaped = [] {
    std::array<bool, 128> escaped{};
    for (int b = 0; b < 0x20; ++b) escaped[static_cast<std::size_t>(b)] = true;
    escaped['"'] = escaped['\\'] = true;
    return escaped;
}();

// A string as the serializer writes it: quote, backslash and the control
// characters escaped (\b \t \n \f \r, the others as \u00xx), every other
// byte as it is. False, with nothing usable written, when `text` is not
// well-formed UTF-8 (the serializer then repairs it).
bool PutJsonString(std::string_view text, JsonSink& out) {
    static constexpr char kHex[] = "0123456789abcdef";
    static constexpr std::string_view kShort = "\"\\\b\t\n\f\r", kLetter = "\"\\btnfr";
    out.Put('"');
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = begin + text.size();
    const unsigned char* copied = begin;
    for (const unsigned char* p = begin; p != end;) {
        const unsigned b = *p;
        if (b < 0x80) {
            if (!kEscaped[b]) {
                ++p;
                continue;
            }
            out.Put(std::string_view(reinterpret_cast<const char*>(copied), static_cast<std::size_t>(p - copied)));
            copied = ++p;
            const std::size_t k = kShort.find(static_cast<char>(b));
            const char escape[] = {'\\',        k != std::string_view::npos ? kLetter[k] : 'u', '0', '0', kHex[b >> 4],
                                   kHex[b & 15]};
            out.Put(std::string_view(escape, k != std::string_view::npos ? 2 : 6));
            continue;
        }
        // Most of a chart is three-byte characters from U+1000 to U+CFFF
        // (CJK, the U+3000 space), whose lead bytes need no further check.
        if (end - p >= 4) {
            std::uint32_t w;  // the lead byte lowest
            std::memcpy(&w, p, sizeof w);
            if ((w & 0xC0C0F0) == 0x8080E0 && (w & 0x0F) - 1 < 12) {
                p += 3;
                continue;
            }
        }
        std::size_t at = static_cast<std::size_t>(p - begin);
        if (!DecodeAt(text, at)) return false;
        p = begin + at;
    }
    out.Put(std::string_view(reinterpret_cast<const char*>(copied), static_cast<std::size_t>(end - copied)));
    out.Put('"');
    return true;
}

template <class Number>
void PutNumber(Number n, JsonSink& out) {
    char digits[24];
    out.Put(std::string_view(digits,
                             static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits)));
}

// False when a text inside is not well-formed UTF-8.
bool PutCompact(const nlohmann::ordered_json& value, JsonSink& out) {
    using Type = nlohmann::ordered_json::value_t;
    switch (value.type()) {
    case Type::string: return PutJsonString(value.get_ref<const std::string&>(), out);
    case Type::object: {
        out.Put('{');
        for (auto it = value.begin(); it != value.end(); ++it) {
            if (it != value.begin()) out.Put(',');
            if (!PutJsonString(it.key(), out)) return false;
            out.Put(':');
            if (!PutCompact(it.value(), out)) return false;
        }
        out.Put('}');
        return true;
    }
    case Type::array: {
        out.Put('[');
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (i) out.Put(',');
            if (!PutCompact(value[i], out)) return false;
        }
        out.Put(']');
        return true;
    }
    case Type::number_integer: PutNumber(value.get<std::int64_t>(), out); return true;
    case Type::number_unsigned: PutNumber(value.get<std::uint64_t>(), out); return true;
    default: out.Put(value.dump()); return true;  // fractions, true, false, null
    }
}

}  // namespace

void DumpCompact(const nlohmann::ordered_json& value, std::string& out) {
    JsonSink sink(out);
    const bool written = PutCompact(value, sink);
    sink.Finish();
    if (!written) out = value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace paipan
