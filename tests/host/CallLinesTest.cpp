#include "host/CallLines.h"

#include <gtest/gtest.h>

namespace {

using namespace Tolvex29;

TEST(CallLines, CardInfoLineHasTheDesignedFields) {
    EXPECT_EQ(CardInfoCallLine("08.12.2026 10:15:30", 1234, 1, 2, 0, 0),
              "08.12.2026 10:15:30 GetCardInfoEx: card 1234, rest 1, unit 2, InpLen=0, InpKind=0");
    EXPECT_EQ(CardInfoCallLine("T", -9223372036854775807LL - 1, -1, -7, 0xFFFFFFFFu, 65535),
              "T GetCardInfoEx: card -9223372036854775808, rest -1, unit -7, InpLen=-1, InpKind=65535");
}

TEST(CallLines, TransactionsCardImageAndEmailLines) {
    EXPECT_EQ(TransactionsCallLine("T", 3, 10, 7), "T TransactionEx: 3 transactions, InpLen=10, InpKind=7");
    EXPECT_EQ(CardImageCallLine("T", -5), "T GetCardImageEx: -5");
    EXPECT_EQ(FindEmailCallLine("T", "Anna@Example.com"), "T FindEmail: email=Anna@Example.com");
}

struct DayCase {
    std::uint32_t dayNumber;
    const char* text;
};

class DayNumber : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayNumber, PrintsAsDayMonthYear) { EXPECT_EQ(DayNumberText(GetParam().dayNumber), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Dates, DayNumber,
                         ::testing::Values(DayCase{0, "30.12.1899"}, DayCase{1, "31.12.1899"},
                                           DayCase{2, "01.01.1900"}, DayCase{60, "28.02.1900"},
                                           DayCase{61, "01.03.1900"}, DayCase{36526, "01.01.2000"},
                                           DayCase{36585, "29.02.2000"}, DayCase{46364, "08.12.2026"},
                                           DayCase{2958465, "31.12.9999"}, DayCase{2958466, "01.01.10000"},
                                           DayCase{4294967295u, "18.01.11761121"}));

TTransactionRec Transaction() {
    TTransactionRec transaction{};
    transaction.CardCode = 1234;
    transaction.Account = 4294967295u;
    transaction.Kind = 1;
    transaction.Summa = 12345;
    transaction.Rest = 65535;
    transaction.Date = 46364;
    transaction.Unit = 200;
    transaction.Check = -3;
    transaction.Vat[0].Rate = 2000;
    transaction.Vat[0].Sum = 2058;
    return transaction;
}

TEST(CallLines, TransactionLineReadsAccountAsSigned) {
    EXPECT_EQ(TransactionLine(Transaction()),
              "  card 1234 account -1 rest 65535 unit 200 check -3 date 08.12.2026");
}

TEST(CallLines, AmountsLineRightAlignsHundredthsInTenColumns) {
    EXPECT_EQ(AmountsLine(Transaction(), '.'),
              "    kind 1 sum     123.45 Vat1(     20.00%)      20.58 Vat2(      0.00%)       0.00"
              " Vat3(      0.00%)       0.00");
}

TEST(CallLines, AmountsLineUsesTheLocaleDecimalSeparator) {
    TTransactionRec transaction = Transaction();
    transaction.Summa = -5;
    transaction.Vat[2].Sum = 9223372036854775807LL;
    transaction.Vat[2].Rate = 65535;
    EXPECT_EQ(AmountsLine(transaction, ','),
              "    kind 1 sum      -0,05 Vat1(     20,00%)      20,58 Vat2(      0,00%)       0,00"
              " Vat3(    655,35%) 92233720368547758,07");
}

}  // namespace
