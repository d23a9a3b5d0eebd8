// The text forms of command arguments: integers in a range, money with at most
// two decimals, calendar dates, hexadecimal bytes. Each throws UsageError with a
// message that names the argument.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace TolvexHost {

// Bad command line or script line; the message says what is wrong.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal integer (optional sign) within [low, high].
std::int64_t ParseInteger(const std::string& what, const std::string& text, std::int64_t low, std::int64_t high);

// "123.45", "-5", "0.5" -> hundredths; at most two decimals.
std::int64_t ParseMoney(const std::string& what, const std::string& text);

// "2026-12-08" -> days since 30 December 1899; a plain day number is taken as is.
std::uint32_t ParseDate(const std::string& what, const std::string& text);

// Pairs of hexadecimal digits -> bytes.
std::string ParseHexBytes(const std::string& what, const std::string& text);

// "1899-12-30" for day 0.
std::string FormatDate(std::uint32_t dayNumber);

}  // namespace TolvexHost
