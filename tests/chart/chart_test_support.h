// Helpers shared by the chart tests: running the engine on a request,
// splitting the chart text into lines and measuring display widths.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/corvel_bzclass.h"

namespace paipan::test {

// A request as SetRequest takes it; every section on unless changed.
struct EngineRequest {
    int year = 2000, month = 1, day = 7, hour = 12, minute = 0;
    int sex = 1;
    std::string name = "张三", place = "安徽";
    Value mode = 0;  // 1 horizontal
    Value dyp = 1, lnp = 1, cgp = 1, ssp = 1, nyp = 1, shenshap = 1, csp = 1, mgp = 1, qyp = 1,
          xyp = 1, zsp = 0, jyssp = 1;
    std::string realtime = "经度：120度0分\r\n\r\n";
};

inline void Apply(Corvel_BZClass& e, const EngineRequest& r) {
    e.s_realtime = r.realtime;
    e.SetRequest(r.year, r.month, r.day, r.hour, r.minute, r.sex, r.name, r.place, r.dyp, r.lnp,
                 r.cgp, r.ssp, r.nyp, r.shenshap, r.csp, r.mgp, r.qyp, r.xyp, r.zsp, r.jyssp,
                 r.mode);
}

// A fresh engine that has run Main on the request (data beside the test).
inline std::unique_ptr<Corvel_BZClass> RunMain(const EngineRequest& r) {
    auto e = std::make_unique<Corvel_BZClass>();
    Apply(*e, r);
    e->Main();
    return e;
}

// Calls `visit` for every day of [from, to] at the given clock time, until it
// returns true; returns whether it did.
inline bool ForEachDay(std::chrono::year_month_day from, std::chrono::year_month_day to,
                       const std::function<bool(int, int, int)>& visit) {
    using namespace std::chrono;
    for (sys_days d{from}; d <= sys_days{to}; d += days{1}) {
        const year_month_day ymd{d};
        if (visit(static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                  static_cast<int>(static_cast<unsigned>(ymd.day()))))
            return true;
    }
    return false;
}

// The code points of a UTF-8 text (the chart texts are valid UTF-8).
inline std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : (b & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

inline std::u16string ToUtf16(std::string_view s) {
    std::u16string out;
    for (char32_t cp : CodePoints(s)) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

// Display units: ASCII 1, every other character (CJK, U+3000, full-width
// punctuation) 2.
inline int Units(char32_t cp) { return cp < 0x80 ? 1 : 2; }

inline int DisplayWidth(std::string_view s) {
    int w = 0;
    for (char32_t cp : CodePoints(s)) w += Units(cp);
    return w;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        out.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    out.push_back(text.substr(start));
    return out;
}

// Cuts a line at display-unit positions: the prefix [0, first), `count`
// cells of `width` units, and the tail after them. Nothing when a cut falls
// inside a two-unit character or the line is too short.
struct Columns {
    std::string prefix;
    std::vector<std::string> cells;
    std::string tail;
};

inline std::optional<Columns> CutColumns(const std::string& line, int first, int width, int count) {
    // Byte offset of every character boundary, by its display-unit position.
    std::vector<std::pair<int, std::size_t>> boundaries{{0, 0}};
    std::size_t byte = 0;
    int unit = 0;
    for (char32_t cp : CodePoints(line)) {
        byte += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        unit += Units(cp);
        boundaries.emplace_back(unit, byte);
    }
    auto at = [&](int u) -> std::optional<std::size_t> {
        for (const auto& [bu, bb] : boundaries)
            if (bu == u) return bb;
        return std::nullopt;  // inside a two-unit character, or past the end
    };
    std::vector<std::size_t> cuts;
    for (int i = 0; i <= count; ++i) {
        const auto b = at(first + width * i);
        if (!b) return std::nullopt;
        cuts.push_back(*b);
    }
    Columns c;
    c.prefix = line.substr(0, cuts[0]);
    for (int i = 0; i < count; ++i) c.cells.push_back(line.substr(cuts[i], cuts[i + 1] - cuts[i]));
    c.tail = line.substr(cuts.back());
    return c;
}

// The bytes of a file, or nothing when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool IsBlank(std::string_view s) {
    for (char32_t cp : CodePoints(s))
        if (cp != U' ' && cp != U'\u3000') return false;
    return true;
}

inline bool StartsBlank(std::string_view s) {
    const auto cps = CodePoints(s);
    return cps.empty() || cps.front() == U' ' || cps.front() == U'\u3000';
}

}  // namespace paipan::test
