// TransactionsEx: logs a batch of transactions, dumps the input once per run of
// one unit, and matches each transaction against the "TransactionsEx" answers.
#include "host/AnswerMatch.h"
#include "host/CallLines.h"
#include "host/Scenario.h"
#include "host/Tolvex29.h"
#include "host/TolvexTypes.h"
#include "log/InputDump.h"
#include "log/LogFile.h"
#include "platform/FailureBoundary.h"

using namespace Tolvex29;

namespace {

constexpr const char* CallName = "TransactionsEx";

}  // namespace

extern "C" int32_t TOLVEX_CALL TransactionsEx(int32_t Count, TTransactionRec* const* Transactions,
                                              const void* InpBuf, uint32_t InpLen, uint16_t InpKind,
                                              const char** OutBuf, int32_t* OutLen, int16_t* OutKind) {
    return Platform::CallForHost([&]() -> int32_t {
        const std::string callLine = TransactionsCallLine(CallTimeText(), Count, InpLen, InpKind);
        LogFile::LogWrite(callLine);

        // Every pointer the call will use is checked before anything else happens.
        Required(OutBuf, CallName, "OutBuf");
        Required(OutLen, CallName, "OutLen");
        Required(OutKind, CallName, "OutKind");
        if (Count > 0) {
            Required(Transactions, CallName, "Transactions");
            for (int32_t index = 0; index < Count; ++index)
                if (Transactions[index] == nullptr)
                    throw Platform::EArgumentError(std::string(CallName) + ": Transactions[" +
                                                   std::to_string(index) + "] is a null pointer");
            if (InpLen != 0) Required(InpBuf, CallName, "InpBuf");
        }

        int lastDumpedUnit = -1;  // no 8-bit unit has this number
        const Scenario scenario;
        const TransactionMatcher matcher;
        int32_t result = 0;
        std::string& output = TransactionsOutput();
        output.clear();
        const char decimalSeparator = LoadedLocaleSettings().decimalSeparator;

        for (int32_t index = 0; index < Count; ++index) {
            const TTransactionRec& transaction = *Transactions[index];
            if (InpLen != 0 && transaction.Unit != lastDumpedUnit) {
                LogFile::WriteInputDump(transaction.Unit, callLine, InpBuf, InpLen);
                lastDumpedUnit = transaction.Unit;
                LogFile::LogWrite("  Input Buffer data writed to " + LogFile::InputDumpName(transaction.Unit));
            }
            LogFile::LogWrite(TransactionLine(transaction));
            LogFile::LogWrite(AmountsLine(transaction, decimalSeparator));

            const TolvexXml::IXmlNode match = matcher.Match(scenario, transaction, nullptr);
            if (!match) continue;
            if (const TolvexXml::IXmlNode outXml = match->SelectElement(RuleOf(AnswerCall::Transactions).outputChild))
                output = outXml->GetText();
            if (matcher.Result(*match, nullptr) != 0) result = 1;
        }

        *OutBuf = output.c_str();
        *OutLen = static_cast<int32_t>(output.size());
        *OutKind = 1;
        return result;
    });
}
