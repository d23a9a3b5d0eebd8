// The log lines with which the exports record each call.
#pragma once

#include <cstdint>
#include <string>

namespace Tolvex29 {

std::string CardInfoCallLine(const std::string& timeText, std::int64_t cardCode, std::int32_t rest,
                             std::int32_t unit, std::uint32_t inpLen, std::uint16_t inpKind);
std::string TransactionsCallLine(const std::string& timeText, std::int32_t count, std::uint32_t inpLen,
                                 std::uint16_t inpKind);
std::string CardImageCallLine(const std::string& timeText, std::int64_t cardCode);
std::string FindEmailCallLine(const std::string& timeText, const char* email);

}  // namespace Tolvex29
