// Helpers for the tests that answer from a scenario file: writing
// in.xml, calling the exports with host records prefilled with a marker byte, and
// reading the dump files.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/LibraryFixture.h"

namespace TolvexTest {

// Every byte of a record the library must not write keeps this value.
inline constexpr unsigned char Untouched = 0xA5;

template <class Record>
Record Prefilled() {
    Record record;
    std::memset(&record, Untouched, sizeof record);
    return record;
}

// A transaction dated 08.12.2026, rest 1, check 10, no VAT entries; the bytes the
// library must not write keep the marker.
inline TTransactionRec Transaction(std::int64_t cardCode, std::uint8_t kind, std::int64_t summa,
                                   std::uint8_t unit = 2, std::uint32_t account = 77) {
    TTransactionRec transaction = Prefilled<TTransactionRec>();
    transaction.CardCode = cardCode;
    transaction.Account = account;
    transaction.Kind = kind;
    transaction.Summa = summa;
    transaction.Rest = 1;
    transaction.Date = 46364;
    transaction.Unit = unit;
    transaction.Check = 10;
    for (TVatEntry& vat : transaction.Vat) vat = TVatEntry{0, 0};
    return transaction;
}

// The bytes of a record as they are.
template <class Record>
std::string Bytes(const Record& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

// Amounts as the log writes them: `text` with its full stops turned into the
// decimal separator of the regional settings.
std::string LoggedAmounts(std::string text);

// A scenario file whose Root holds the given answers.
inline void WriteScenario(const std::string& answers) {
    WriteWholeFile(ScenarioName, "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<Root>\r\n" + answers +
                                     "\r\n</Root>\r\n");
}

// The text of a fixed, NUL-terminated field.
template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// One dump record: the call line (date-time masked by the caller) and the input.
struct DumpRecord {
    std::string callLine;
    std::string input;
};

// Splits a dump file that holds records of known input lengths.
::testing::AssertionResult ReadDump(const std::string& fileName, const std::vector<size_t>& inputLengths,
                                    std::vector<DumpRecord>& records);

}  // namespace TolvexTest
