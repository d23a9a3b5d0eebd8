#include "host/CallLines.h"

#include <cinttypes>

#include "base/Exception.h"
#include "base/Format.h"

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

std::string TransactionLine(const TTransactionRec& transaction) {
    return Platform::Format("  card %" PRId64 " account %" PRId32 " rest %u unit %u check %" PRId32 " date %s",
                            static_cast<std::int64_t>(transaction.CardCode),
                            static_cast<std::int32_t>(transaction.Account), static_cast<unsigned>(transaction.Rest),
                            static_cast<unsigned>(transaction.Unit), static_cast<std::int32_t>(transaction.Check),
                            DayNumberText(transaction.Date).c_str());
}

namespace {

// An amount in hundredths as %10.2f, with the locale's decimal separator.
std::string Hundredths(long double hundredths, char decimalSeparator) {
    std::string text = Platform::Format("%10.2Lf", hundredths / 100.0L);
    for (char& c : text)
        if (c == '.') c = decimalSeparator;
    return text;
}

}  // namespace

std::string AmountsLine(const TTransactionRec& transaction, char decimalSeparator) {
    std::string line = "    kind " + std::to_string(transaction.Kind) + " sum " +
                       Hundredths(static_cast<long double>(transaction.Summa), decimalSeparator);
    for (int entry = 0; entry < 3; ++entry) {
        const TVatEntry& vat = transaction.Vat[entry];
        line += " Vat" + std::to_string(entry + 1) + "(" +
                Hundredths(static_cast<long double>(vat.Rate), decimalSeparator) + "%) " +
                Hundredths(static_cast<long double>(vat.Sum), decimalSeparator);
    }
    return line;
}

std::string DayNumberText(std::uint32_t dayNumber) {
    // Civil date from a count of days since 1 March of year 0 (proleptic Gregorian).
    const std::int64_t days = static_cast<std::int64_t>(dayNumber) + 693899;  // 1899-12-30
    const std::int64_t era = days / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 = March
    const std::int64_t day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return Platform::Format("%02d.%02d.%04" PRId64, static_cast<int>(day), static_cast<int>(month), year);
}

}  // namespace Tolvex29
