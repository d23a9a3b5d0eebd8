// GetCardInfoEx: card information for a card code, from the first matching
// "GetCardInfoEx"/"GetCardInfoL" answer (first with the host's input kind too,
// then by card code alone; host/AnswerMatch.h).
#include <cinttypes>

#include "base/Format.h"
#include "host/AnswerMatch.h"
#include "host/CallLines.h"
#include "host/Scenario.h"
#include "host/Tolvex29.h"
#include "host/TolvexTypes.h"
#include "log/InputDump.h"
#include "log/LogFile.h"
#include "platform/FailureBoundary.h"

using namespace Tolvex29;
using TolvexXml::TXmlNode;

namespace {

constexpr const char* CallName = "GetCardInfoEx";

}  // namespace

extern "C" int32_t TOLVEX_CALL GetCardInfoEx(int64_t CardCode, int32_t Rest, int32_t Unit,
                                             TCardInfoRec* Info, const void* InpBuf, uint32_t InpLen,
                                             uint16_t InpKind, const char** OutBuf, int32_t* OutLen,
                                             int16_t* OutKind) {
    return Platform::CallForHost([&]() -> int32_t {
        const std::string callLine = CardInfoCallLine(CallTimeText(), CardCode, Rest, Unit, InpLen, InpKind);
        LogFile::LogWrite(callLine);
        const Scenario scenario;

        const CardInfoMatch found = MatchCardInfo(scenario, CardCode, InpKind, nullptr);
        if (!found.answer) return 1;
        TXmlNode& match = *found.answer;

        // Every pointer the answer needs is checked before anything is written.
        const TolvexXml::IXmlNode output = match.SelectElement(RuleOf(AnswerCall::CardInfo).outputChild);
        TCardInfoRec& info = *Required(Info, CallName, "Info");
        if (output) {
            Required(OutBuf, CallName, "OutBuf");
            Required(OutLen, CallName, "OutLen");
            Required(OutKind, CallName, "OutKind");
        }
        if (InpLen != 0) Required(InpBuf, CallName, "InpBuf");

        FillRecord(match, RuleOf(AnswerCall::CardInfo), &info, nullptr);
        if (output) {
            const OutputInfoValues outputInfo = ReadOutputInfo(*output, nullptr);
            LogFile::LogWrite(Platform::Format("  Output OutKind=%" PRId64 ", OutLen=%" PRId64, outputInfo.outKind,
                                               outputInfo.outLen));
            std::string& text = CardInfoOutput();
            text = output->GetText();
            *OutBuf = text.c_str();
            *OutLen = static_cast<int32_t>(text.size());
            *OutKind = static_cast<int16_t>(outputInfo.outKind);
        }
        if (InpLen != 0) LogFile::WriteInputDump(Unit, callLine, InpBuf, InpLen);
        return 0;
    });
}
