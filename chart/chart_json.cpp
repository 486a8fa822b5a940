#include "chart/chart_json.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <utility>
#include <string_view>

#include "chart/corvel_bzclass.h"
#include "engine/luck_start.h"
#include "util/utf8.h"

namespace paipan {
namespace {

using json = nlohmann::ordered_json;

// An empty object with room for `keys` members: the ordered map is a vector,
// and growing it key by key copies every key already in it.
json Object(std::size_t keys) {
    json object = json::object();
    object.get_ref<json::object_t&>().reserve(keys);
    return object;
}

json Array(std::size_t items) {
    json array = json::array();
    array.get_ref<json::array_t&>().reserve(items);
    return array;
}

// Adds a member the object does not have yet (the builders below give each
// key once), without looking for it first.
void Set(json& object, const char* key, json value) {
    object.get_ref<json::object_t&>().emplace_back(key, std::move(value));
}

// "YYYY-MM-DDTHH:MM" (`withMinutes`) or "YYYY-MM-DDTHH:00".
std::string IsoMinute(const CivilTime& t, bool withMinutes = true) {
    const int minute = withMinutes ? t.minute : 0;
    const auto twoDigits = [](int v) { return v >= 0 && v <= 99; };
    if (t.year < 0 || t.year > 9999 || !twoDigits(t.month) || !twoDigits(t.day) || !twoDigits(t.hour) ||
        !twoDigits(minute)) {
        char buffer[64];  // never for a chart's own dates
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d", t.year, t.month, t.day, t.hour, minute);
        return buffer;
    }
    std::string text = "0000-00-00T00:00";
    const auto put = [&](std::size_t last, int value, int width) {
        for (int k = 0; k < width; ++k, value /= 10) text[last - static_cast<std::size_t>(k)] = static_cast<char>('0' + value % 10);
    };
    put(3, t.year, 4), put(6, t.month, 2), put(9, t.day, 2), put(12, t.hour, 2), put(15, minute, 2);
    return text;
}

// Table names are padded with U+3000 to their column width.
std::string Unpadded(std::string s) {
    static const std::string kIdeographicSpace = "　";
    while (s.size() >= kIdeographicSpace.size() &&
           s.compare(s.size() - kIdeographicSpace.size(), kIdeographicSpace.size(),
                     kIdeographicSpace) == 0)
        s.resize(s.size() - kIdeographicSpace.size());
    return s;
}

// A jie term by name and moment.
json Term(const std::string& name, DateTime at) {
    json term = Object(2);
    Set(term, "name", name);
    Set(term, "time", IsoMinute(ToCivil(at)));
    return term;
}

// An object of whole numbers, in the order given.
json Numbers(std::initializer_list<std::pair<const char*, int>> fields) {
    json object = Object(fields.size() + 1);
    for (const auto& [key, value] : fields) Set(object, key, value);
    return object;
}

// Objects are filled key by key: an initializer list would copy every value.
json Pillar(const Corvel_BZClass& e, int k) {
    json hidden = Array(3);
    for (int j = 0; j < 3; ++j) {
        if (e.cg_g[k][j] < 0) continue;
        json stem = Object(2);
        Set(stem, "stem", e.cg_str[k][j]);
        Set(stem, "deity", e.cg_ss[k][j]);
        hidden.push_back(std::move(stem));
    }
    json p = Object(5);
    Set(p, "ganzhi", e.gz_str[k]);
    Set(p, "nayin", e.gz_ny[k]);
    Set(p, "deity", e.gan_ss[k]);
    Set(p, "hiddenStems", std::move(hidden));
    Set(p, "stage", Unpadded(e.GetSWB(e.bz[k][1])));
    return p;
}

// Every pillar's stars in the order the chart's star rows print them: row by
// row, and within a row the last star found first.
json Stars(const Corvel_BZClass& e) {
    std::array<json, 4> columns{json::array(), json::array(), json::array(), json::array()};
    for (const StarLists& row : e.GetShenShaLists(e.bz, e.sex2)) {
        for (std::size_t k = 0; k < 4; ++k) {
            std::string_view list = row[k];
            for (auto bar = list.rfind('|'); bar != std::string_view::npos; bar = list.rfind('|')) {
                std::size_t code = 0;
                for (const char c : list.substr(bar + 1)) code = code * 10 + static_cast<std::size_t>(c - '0');
                columns[k].push_back(Unpadded(e.ShenShaName.at(code)));
                list = list.substr(0, bar);
            }
        }
    }
    json stars = Object(4);
    const char* names[] = {"year", "month", "day", "hour"};
    for (std::size_t k = 0; k < 4; ++k) Set(stars, names[k], std::move(columns[k]));
    return stars;
}

json Luck(const Corvel_BZClass& e) {
    const LuckStart start = BreakDownLuckStart(e.QiYunAge);
    const CivilTime handover = ToCivil(e.JiaoYunTime);
    json pillars = Array(8);
    for (int i = 0; i < 8; ++i) {
        // The same age and start year as the chart prints.
        const LuckPillarYears years = LuckPillarYearsOf(handover.year, e.bz_year, i);
        json p = Object(4);
        Set(p, "ganzhi", e.dy_str[i]);
        Set(p, "deity", e.dy_ss[i]);
        Set(p, "age", years.age);
        Set(p, "startYear", years.startYear);
        pillars.push_back(std::move(p));
    }
    const json when = Numbers({{"years", start.years}, {"months", start.months}, {"days", start.days},
                               {"hours", start.hours}});
    json luck = Object(4);
    Set(luck, "forward", e.isshun(e.bz, e.sex2));
    Set(luck, "start", when);
    Set(luck, "handover", IsoMinute(handover, false));
    Set(luck, "pillars", std::move(pillars));
    return luck;
}

// The bytes DumpCompact writes, at the end of a string that grows ahead of
// them (Finish cuts it to what was written).
class JsonSink {
public:
    explicit JsonSink(std::string& bytes) : bytes_(bytes) { bytes_.resize(std::max<std::size_t>(bytes_.capacity(), 4096)); }
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
            const char escape[] = {'\\', k != std::string_view::npos ? kLetter[k] : 'u', '0', '0', kHex[b >> 4], kHex[b & 15]};
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
    out.Put(std::string_view(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits)));
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

json ChartJson(const Corvel_BZClass& e, const ChartResult& result, const std::vector<std::string>& notices) {
    json pillars = Array(4);
    for (int k = 0; k < 4; ++k) pillars.push_back(Pillar(e, k));
    json lunar = Numbers({{"year", e.nn}, {"month", e.ny}, {"day", e.nr}});
    Set(lunar, "leap", e.leap);
    json terms = Object(2);
    Set(terms, "last", Term(e.LastJieName, e.LastJieQi));
    Set(terms, "next", Term(e.NextJieName, e.NextJieQi));
    json j = Object(15);  // and the batch's "line"
    Set(j, "text", result.text);
    Set(j, "trueSolarTime", IsoMinute(CivilTime{e.nian, e.yue, e.ri, e.shi, e.fen, 0}));
    Set(j, "lunar", std::move(lunar));
    Set(j, "solarYear", e.bz_year);
    Set(j, "solarMonth", e.bz_month);
    Set(j, "terms", std::move(terms));
    Set(j, "pillars", std::move(pillars));
    Set(j, "voids", e.kwstr);
    Set(j, "luck", Luck(e));
    Set(j, "conception", e.ty_str);
    Set(j, "palace", e.mg_str);
    Set(j, "stars", Stars(e));
    Set(j, "notices", notices);
    return j;
}

json PillarJson(const Corvel_BZClass& engine, int k) { return Pillar(engine, k); }

json ErrorJson(const std::string& kind, const std::string& message,
               const std::optional<std::string>& field) {
    return {{"error", {{"kind", kind}, {"message", message}, {"field", field ? json(*field) : json(nullptr)}}}};
}

std::optional<std::string> OptionNameOf(InputField field) {
    switch (field) {
        case InputField::LongitudeDegrees: return "longitude";
        case InputField::LongitudeMinutes: return "longitude-minutes";
        case InputField::Year: return "year";
        case InputField::Month: return "month";
        case InputField::Day: return "day";
        case InputField::Hour: return "hour";
        case InputField::Minute: return "minute";
        case InputField::None: break;
    }
    return std::nullopt;
}

json InputErrorJson(const InputProblem& problem) {
    return ErrorJson("input", problem.message, OptionNameOf(problem.field));
}

}  // namespace paipan
