#include "base/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Platform {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FormatFloatGeneral(double value, int precision, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // The significant digits, already rounded, and the decimal exponent of the first one.
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.*e", precision - 1, std::fabs(value));
    std::string digits;
    const char* p = scientific;
    for (; *p != 'e'; ++p)
        if (IsDigit(*p)) digits += *p;
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = value < 0 ? "-" : "";
    const int digitCount = static_cast<int>(digits.size());
    if (exponent >= -5 && exponent < precision) {
        if (exponent < 0) {
            text += '0';
            text += decimalSeparator;
            text.append(static_cast<size_t>(-exponent - 1), '0');
            text += digits;
        } else if (digitCount <= exponent + 1) {
            text += digits;
            text.append(static_cast<size_t>(exponent + 1 - digitCount), '0');
        } else {
            text.append(digits, 0, static_cast<size_t>(exponent + 1));
            text += decimalSeparator;
            text.append(digits, static_cast<size_t>(exponent + 1));
        }
        return text;
    }
    text += digits[0];
    if (digitCount > 1) {
        text += decimalSeparator;
        text.append(digits, 1);
    }
    text += 'E';
    text += std::to_string(exponent);
    return text;
}

std::optional<double> ParseFloat(std::string_view text, char decimalSeparator) {
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;

    // Rebuilt with "." for from_chars, which does not depend on the C locale.
    std::string number;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Decimal exponent of the first non-zero digit, to tell underflow from overflow.
    long leadingExponent = 0;
    bool nonZeroSeen = false;
    size_t mantissaDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++mantissaDigits) {
        number += text[i];
        if (nonZeroSeen) ++leadingExponent;
        nonZeroSeen = nonZeroSeen || text[i] != '0';
    }
    if (i < n && text[i] == decimalSeparator) {
        number += '.';
        for (++i; i < n && IsDigit(text[i]); ++i, ++mantissaDigits) {
            number += text[i];
            if (!nonZeroSeen) --leadingExponent;
            nonZeroSeen = nonZeroSeen || text[i] != '0';
        }
    }
    if (mantissaDigits == 0) return std::nullopt;
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        number += 'e';
        ++i;
        bool exponentNegative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            number += text[i++];
        }
        size_t exponentDigits = 0;
        for (; i < n && IsDigit(text[i]); ++i, ++exponentDigits) {
            number += text[i];
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
        }
        if (exponentDigits == 0) return std::nullopt;
        if (exponentNegative) exponent = -exponent;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) return std::nullopt;

    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (leadingExponent + exponent > 0) return std::nullopt;  // beyond the largest double
        value = 0;                                                 // below the smallest: zero
    } else if (error != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace Platform
