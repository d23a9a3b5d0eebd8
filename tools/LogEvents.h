// The log as a sequence of events that expectations are matched against: each
// call, and each transaction of a TransactionsEx call after its call. An event
// offers its values under short field names (card, inpkind, summa, ...), the same
// names `tolvex-host log` shows and expectation files use.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/LogReader.h"

namespace TolvexHost {

// The exports, in the order of Export, then one transaction of a batch.
enum class Subject { GetCardInfoEx, TransactionsEx, GetCardImageEx, FindEmail, Transaction };

// "GetCardInfoEx", ..., "transaction".
const char* SubjectName(Subject subject);
std::optional<Subject> FindSubject(const std::string& name);

enum class Field {
    Card, Rest, Unit, InpLen, InpKind, OutKind, OutLen, Count, Email,
    Account, Check, Date, Kind, Summa, Vat1, Vat2, Vat3
};

// How a field's value is written and compared.
enum class ValueForm {
    Integer,  // decimal
    Account,  // decimal; 0..4294967295 taken as the log's signed 32-bit reading
    Amount,   // "123.45" or "123,45": compared in hundredths
    Vat,      // "RATE:SUM", two amounts
    Date,     // "2026-12-08", "08.12.2026" or the host's day number
    Text,     // bytes as logged
};

struct SubjectField {
    Field field;
    const char* name;
    ValueForm form;
};

// The fields that events of the subject carry, in the order the log shows them.
const std::vector<SubjectField>& SubjectFields(Subject subject);

// A value as compared (key) and as shown to the reader (the log's own text).
struct FieldValue {
    std::string key;
    std::string shown;
};

struct LogEvent {
    Subject subject;
    std::size_t line;  // of the call line, or of the transaction line
    std::string text;  // that line as written, without the blanks that indent it
    const LoggedCall* call = nullptr;                // the call, or the call of the transaction
    const LoggedTransaction* transaction = nullptr;  // for Subject::Transaction
};

// The events of the log's calls, in the order of their lines; the entries of
// log must outlive the events.
std::vector<LogEvent> LogEvents(const LogReading& log);

// The event's value of the field; none when the event has no such value (a
// GetCardInfoEx call without output has no outkind).
std::optional<FieldValue> EventField(const LogEvent& event, Field field);

// "card=1001 rest=1 unit=2 ...": every value the event has but the fields left
// out (VAT entries only when not zero), in the form an expectation takes (quoted
// when it holds blanks or quotes).
std::string EventFieldsText(const LogEvent& event, const std::vector<Field>& leftOut = {});

// value, in double quotes with " and \ escaped when it is empty or holds blanks,
// quotes or a backslash; as it is otherwise.
std::string QuotedWhenNeeded(const std::string& value);

}  // namespace TolvexHost
