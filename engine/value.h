// A small dynamically typed value, used only where the engine's behaviour
// depends on the kind of value it is handed: the request switches (a numeric
// text counts as its number) and the two array helpers m_array/expandarray.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace paipan {

struct Value;
using ValueArray = std::vector<Value>;

struct Value {
    std::variant<std::monostate, long long, double, bool, std::string, ValueArray> v;

    Value() = default;
    Value(int i) : v(static_cast<long long>(i)) {}
    Value(long long i) : v(i) {}
    Value(double d) : v(d) {}
    Value(bool b) : v(b) {}
    Value(const char* s) : v(std::string(s)) {}
    Value(std::string s) : v(std::move(s)) {}
    Value(ValueArray a) : v(std::move(a)) {}

    bool IsEmpty() const { return std::holds_alternative<std::monostate>(v); }
    bool IsArray() const { return std::holds_alternative<ValueArray>(v); }
    bool IsText() const { return std::holds_alternative<std::string>(v); }
    bool IsNumber() const;

    // The number the value yields when 0 is added to it: numbers keep their
    // value, a boolean is 1 or 0, a numeric text becomes its number, empty is 0.
    // A text that is not a number yields nothing.
    std::optional<double> ToNumber() const;

    ValueArray& Array() { return std::get<ValueArray>(v); }
    const ValueArray& Array() const { return std::get<ValueArray>(v); }
};

// Numbers compare by value, texts character for character; values of
// different kinds are unequal.
bool operator==(const Value& a, const Value& b);

// Parses a plain decimal number: optional sign, ASCII digits, optional
// fraction. No spaces, exponents or full-width digits.
std::optional<double> ParseDecimal(const std::string& text);

}  // namespace paipan
