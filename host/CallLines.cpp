#include "host/CallLines.h"

#include <cinttypes>

#include "platform/Exception.h"

namespace Tolvex29 {

std::string CardInfoCallLine(const std::string& timeText, std::int64_t cardCode, std::int32_t rest,
                             std::int32_t unit, std::uint32_t inpLen, std::uint16_t inpKind) {
    return Platform::Format("%s GetCardInfoEx: card %" PRId64 ", rest %" PRId32 ", unit %" PRId32
                            ", InpLen=%" PRId32 ", InpKind=%u",
                            timeText.c_str(), cardCode, rest, unit, static_cast<std::int32_t>(inpLen),
                            static_cast<unsigned>(inpKind));
}

std::string TransactionsCallLine(const std::string& timeText, std::int32_t count, std::uint32_t inpLen,
                                 std::uint16_t inpKind) {
    return Platform::Format("%s TransactionEx: %" PRId32 " transactions, InpLen=%" PRId32 ", InpKind=%u",
                            timeText.c_str(), count, static_cast<std::int32_t>(inpLen),
                            static_cast<unsigned>(inpKind));
}

std::string CardImageCallLine(const std::string& timeText, std::int64_t cardCode) {
    return Platform::Format("%s GetCardImageEx: %" PRId64, timeText.c_str(), cardCode);
}

std::string FindEmailCallLine(const std::string& timeText, const char* email) {
    return timeText + " FindEmail: email=" + (email ? email : "");
}

}  // namespace Tolvex29
