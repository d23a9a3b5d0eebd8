// The log lines with which the exports record each call.
#pragma once

#include <cstdint>
#include <string>

#include "host/TolvexTypes.h"

namespace Tolvex29 {

std::string CardInfoCallLine(const std::string& timeText, std::int64_t cardCode, std::int32_t rest,
                             std::int32_t unit, std::uint32_t inpLen, std::uint16_t inpKind);
std::string TransactionsCallLine(const std::string& timeText, std::int32_t count, std::uint32_t inpLen,
                                 std::uint16_t inpKind);
std::string CardImageCallLine(const std::string& timeText, std::int64_t cardCode);
std::string FindEmailCallLine(const std::string& timeText, const char* email);

// The two lines TransactionsEx logs for each transaction.
std::string TransactionLine(const TTransactionRec& transaction);
std::string AmountsLine(const TTransactionRec& transaction, char decimalSeparator);

// A day number (day 0 is 30 December 1899) as dd.mm.yyyy; years past 9999 keep all their digits.
std::string DayNumberText(std::uint32_t dayNumber);

}  // namespace Tolvex29
