// explain against the real export, side by side: over the example scenario and
// hundreds of generated ones (colliding card codes, both passes of GetCardInfoEx,
// unreadable values, transactions with ranges), the answer chosen, the record as
// the call leaves it, the output and the failure raised must be the same.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/HostLibrary.h"
#include "support/ScenarioTestSupport.h"
#include "support/ScratchDirectory.h"
#include "tools/ExampleScenario.h"
#include "tools/Explain.h"

namespace TolvexTest {
namespace {

using Tolvex29::AnswerCall;
using TolvexHost::CallRequest;

// What a call gave back, in a form both sides can fill.
struct Observed {
    bool failed = false;
    std::string className, message;
    std::int32_t result = 0;
    std::string record;  // the record's bytes, from a zeroed record
    bool hasOutput = false;
    std::string outputText;
    std::int16_t outputKind = 0;

    bool operator==(const Observed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Observed& observed) {
    out << (observed.failed ? "failed " + observed.className + ": " + observed.message
                            : "result " + std::to_string(observed.result));
    if (observed.hasOutput) out << ", output kind " << observed.outputKind << " \"" << observed.outputText << "\"";
    std::string hex;
    for (char byte : observed.record) hex += "0123456789ABCDEF"[(byte >> 4) & 15], hex += "0123456789ABCDEF"[byte & 15];
    return out << ", record " << hex;
}

// Makes the call with a zeroed record; the output arguments only when the export has them.
template <class Record>
Observed Call(const Record& record, bool withOutput,
              const std::function<std::int32_t(const char**, std::int32_t*, std::int16_t*)>& call) {
    const char* outBuf = nullptr;
    std::int32_t outLen = 0;
    std::int16_t outKind = 0;
    const CallOutcome outcome = CallExport([&] { return call(&outBuf, &outLen, &outKind); });
    Observed observed{outcome.failed, outcome.failed ? outcome.className : "", outcome.failed ? outcome.message : "",
                      outcome.failed ? 0 : outcome.result, Bytes(record), false, "", 0};
    if (withOutput && !outcome.failed && outBuf) {
        observed.hasOutput = true;
        observed.outputText.assign(outBuf, static_cast<std::size_t>(outLen));
        observed.outputKind = outKind;
    }
    return observed;
}

Observed CallTheExport(HostLibrary& library, const CallRequest& request) {
    switch (request.call) {
        case AnswerCall::CardInfo: {
            TCardInfoRec info{};
            return Call(info, true, [&](const char** buf, std::int32_t* len, std::int16_t* kind) {
                return library.getCardInfoEx(request.cardCode, 0, 0, &info, nullptr, 0, request.inpKind, buf, len, kind);
            });
        }
        case AnswerCall::Transactions: {
            std::vector<TTransactionRec> records = request.transactions;
            std::vector<TTransactionRec*> pointers;
            for (TTransactionRec& record : records) pointers.push_back(&record);
            char none = 0;
            return Call(none, true, [&](const char** buf, std::int32_t* len, std::int16_t* kind) {
                return library.transactionsEx(static_cast<std::int32_t>(pointers.size()), pointers.data(), nullptr, 0,
                                              0, buf, len, kind);
            });
        }
        case AnswerCall::CardImage: {
            TCardImageRec image{};
            return Call(image, false, [&](const char**, std::int32_t*, std::int16_t*) {
                return library.getCardImageEx(request.cardCode, &image);
            });
        }
        case AnswerCall::Email: break;
    }
    TEmailCardRec card{};
    return Call(card, false, [&](const char**, std::int32_t*, std::int16_t*) {
        return library.findEmail(request.email.c_str(), &card);
    });
}

std::size_t RecordSize(AnswerCall call) {
    switch (call) {
        case AnswerCall::CardInfo: return sizeof(TCardInfoRec);
        case AnswerCall::Transactions: return 1;
        case AnswerCall::CardImage: return sizeof(TCardImageRec);
        case AnswerCall::Email: break;
    }
    return sizeof(TEmailCardRec);
}

Observed Explained(const CallRequest& request) {
    const TolvexHost::Explanation explanation = TolvexHost::ExplainCall(request);
    const TolvexHost::CallOutcome& outcome = explanation.report.outcome;
    Observed observed{outcome.failed, outcome.failed ? outcome.className : "", outcome.failed ? outcome.message : "",
                      outcome.failed ? 0 : outcome.result,
                      explanation.recordBytes.empty() ? std::string(RecordSize(request.call), '\0') : explanation.recordBytes,
                      false, "", 0};
    if (explanation.report.output) {
        observed.hasOutput = true;
        observed.outputText = explanation.report.output->text;
        observed.outputKind = explanation.report.output->kind;
    }
    return observed;
}

CallRequest CardInfo(std::int64_t cardCode, std::uint16_t inpKind) {
    CallRequest request;
    request.call = AnswerCall::CardInfo;
    request.cardCode = cardCode;
    request.inpKind = inpKind;
    return request;
}

CallRequest CardImage(std::int64_t cardCode) {
    CallRequest request;
    request.call = AnswerCall::CardImage;
    request.cardCode = cardCode;
    return request;
}

CallRequest Email(const std::string& email) {
    CallRequest request;
    request.call = AnswerCall::Email;
    request.email = email;
    return request;
}

CallRequest Transactions(std::vector<TTransactionRec> transactions) {
    CallRequest request;
    request.call = AnswerCall::Transactions;
    request.transactions = std::move(transactions);
    return request;
}

// The calls asked of every scenario: the card codes, kinds, amounts and addresses
// the generated answers draw from, and some that none has.
std::vector<CallRequest> Requests() {
    std::vector<CallRequest> requests;
    for (const std::int64_t card : {0, 1001, 1002, 7})
        for (const std::uint16_t kind : {0, 1, 2}) requests.push_back(CardInfo(card, kind));
    for (const std::int64_t card : {0, 1001, 1002, 7}) requests.push_back(CardImage(card));
    for (const char* email : {"anna@example.com", "ANNA@EXAMPLE.COM", "ivan@example.com", "nobody@example.com"})
        requests.push_back(Email(email));
    requests.push_back(Transactions({Transaction(1001, 1, 5000, 2, 501), Transaction(1002, 2, 150000, 3, 502),
                                     Transaction(7, 0, -10, 2, 0)}));
    requests.push_back(Transactions({}));
    return requests;
}

// Answers drawn from small pools, so card codes collide, both passes happen and
// now and then a value cannot be read.
class ScenarioGenerator {
public:
    explicit ScenarioGenerator(unsigned seed) : random_(seed) {}

    std::string Next() {
        std::string answers;
        const int count = Between(2, 9);
        for (int i = 0; i < count; ++i) answers += Answer(i) + "\r\n";
        return answers;
    }

private:
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool OneIn(int n) { return Between(1, n) == 1; }
    template <std::size_t N>
    const char* Pick(const char* const (&pool)[N]) { return pool[Between(0, N - 1)]; }

    // An attribute from the pool, or none (an empty pick).
    std::string Attr(const char* name, const char* value) {
        return *value ? std::string(" ") + name + "=\"" + value + "\"" : std::string();
    }

    std::string Answer(int index) {
        static const char* const cardCodes[] = {"1001", "1002", "$3E9", " 1002", "0", "", "7", "10x1"};
        static const char* const integers[] = {"", "0", "5", "-3", "70000", "0x10", "x"};
        static const char* const booleans[] = {"", "true", "FALSE", "1", "0", "yes"};
        switch (Between(0, 5)) {
            case 0:
            case 1: {
                static const char* const names[] = {"GetCardInfoEx", "GetCardInfoL", "getcardinfoex"};
                static const char* const kinds[] = {"", "0", "1", "2", "1", "k"};
                std::string answer = std::string("<") + Pick(names) + Attr("CardCode", Pick(cardCodes)) +
                                     Attr("InpKind", OneIn(8) ? "k" : Pick(kinds)) + " Holder=\"element " +
                                     std::to_string(index + 1) + "\"" + Attr("Discount", OneIn(6) ? Pick(integers) : "5") +
                                     Attr("Deleted", OneIn(5) ? Pick(booleans) : "") +
                                     Attr("Account", OneIn(4) ? Pick(integers) : "501");
                if (!OneIn(3)) return answer + "/>";
                return answer + "><OutputInfo" + Attr("OutKind", OneIn(5) ? Pick(integers) : "2") +
                       Attr("OutLen", OneIn(6) ? Pick(integers) : "") + ">text " + std::to_string(index + 1) +
                       "</OutputInfo></" + answer.substr(1, answer.find(' ') - 1) + ">";
            }
            case 2: {
                static const char* const accounts[] = {"", "501", "502", "-1", "0"};
                static const char* const kinds[] = {"", "1", "2", "0", "256"};
                static const char* const sums[] = {"", "0", "5000", "150000", "-20", "x"};
                std::string answer = "<TransactionsEx" + Attr("Account", Pick(accounts)) +
                                     Attr("CardCode", OneIn(2) ? Pick(cardCodes) : "") + Attr("Kind", Pick(kinds)) +
                                     Attr("MinSumma", Pick(sums)) + Attr("MaxSumma", Pick(sums)) +
                                     Attr("Result", OneIn(3) ? Pick(integers) : "");
                if (OneIn(2)) return answer + "/>";
                return answer + "><OutXML>out " + std::to_string(index + 1) + "</OutXML></TransactionsEx>";
            }
            case 3:
                return std::string("<GetCardImageEx") + Attr("CardCode", Pick(cardCodes)) + " FileName=\"image " +
                       std::to_string(index + 1) + ".bmp\"/>";
            case 4: {
                static const char* const emails[] = {"anna@example.com", "Anna@Example.com", "ivan@example.com", ""};
                return std::string("<FindEmail") + Attr("email", Pick(emails)) +
                       Attr("Account", OneIn(5) ? Pick(integers) : "501") +
                       Attr("CardCode", OneIn(4) ? Pick(cardCodes) : "1001") + " Name=\"element " +
                       std::to_string(index + 1) + "\"/>";
            }
            default: return OneIn(2) ? "<!-- a comment -->" : "<Unknown CardCode=\"1001\"/>";
        }
    }

    std::mt19937 random_;
};

class ExplainMatchesTheCall : public ::testing::Test {
protected:
    void ExpectSameAnswers(const std::string& scenario) {
        for (const CallRequest& request : Requests()) {
            const Observed byExport = CallTheExport(library_, request);
            EXPECT_EQ(Explained(request), byExport) << request.ExportName() << "(" << request.Describe() << ")\n"
                                                    << scenario;
        }
    }

    ScratchDirectory scratch_;
    HostLibrary library_{LibraryPath()};
};

TEST_F(ExplainMatchesTheCall, OnTheExampleScenario) {
    ASSERT_TRUE(library_.Loaded()) << library_.LoadError();
    WriteWholeFile(ScenarioName, TolvexHost::ExampleScenarioText);
    ExpectSameAnswers(TolvexHost::ExampleScenarioText);
}

// Fewer under Wine in the emulated test machine, where each load costs 30 times more.
#if defined(_WIN32)
constexpr int GeneratedScenarios = 100;
#else
constexpr int GeneratedScenarios = 300;
#endif

TEST_F(ExplainMatchesTheCall, OnGeneratedScenarios) {
    ASSERT_TRUE(library_.Loaded()) << library_.LoadError();
    ScenarioGenerator generator(20261210);
    for (int scenario = 0; scenario < GeneratedScenarios && !HasFailure(); ++scenario) {
        const std::string answers = generator.Next();
        WriteScenario(answers);
        ExpectSameAnswers(answers);
    }
}

TEST_F(ExplainMatchesTheCall, WhenTheFileFails) {
    ASSERT_TRUE(library_.Loaded()) << library_.LoadError();
    ExpectSameAnswers("(no in.xml)");
    WriteWholeFile(ScenarioName, "<Root><GetCardInfoEx CardCode=\"1001\">");
    ExpectSameAnswers("(cut short)");
    WriteWholeFile(ScenarioName, "<NoRoot/>");
    ExpectSameAnswers("(no Root)");
}

}  // namespace
}  // namespace TolvexTest
