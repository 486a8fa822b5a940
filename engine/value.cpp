#include "engine/value.h"

namespace paipan {

bool Value::IsNumber() const { return std::holds_alternative<long long>(v) || std::holds_alternative<double>(v); }

std::optional<double> Value::ToNumber() const {
    if (auto p = std::get_if<long long>(&v)) return static_cast<double>(*p);
    if (auto p = std::get_if<double>(&v)) return *p;
    if (auto p = std::get_if<bool>(&v)) return *p ? 1.0 : 0.0;
    if (IsEmpty()) return 0.0;
    if (auto p = std::get_if<std::string>(&v)) return ParseDecimal(*p);
    return std::nullopt;
}

bool operator==(const Value& a, const Value& b) {
    if (a.IsNumber() && b.IsNumber()) return *a.ToNumber() == *b.ToNumber();
    if (a.IsText() && b.IsText()) return std::get<std::string>(a.v) == std::get<std::string>(b.v);
    if (a.IsEmpty() && b.IsEmpty()) return true;
    if (std::holds_alternative<bool>(a.v) && std::holds_alternative<bool>(b.v))
        return std::get<bool>(a.v) == std::get<bool>(b.v);
    return false;
}

std::optional<double> ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    double value = 0;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) value = value * 10 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits, scale /= 10)
            value += (text[i] - '0') * scale;
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace paipan
