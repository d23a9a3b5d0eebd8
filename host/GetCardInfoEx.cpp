// GetCardInfoEx: card information for a card code, from the first matching
// "GetCardInfoEx"/"GetCardInfoL" answer (first with the host's input kind too,
// then by card code alone).
#include <cinttypes>

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
const std::initializer_list<std::string_view> AnswerNames = {"GetCardInfoL", "GetCardInfoEx"};

// The match's attributes into the record, in the order the host may observe when
// a value fails half-way.
void FillCardInfo(TXmlNode& answer, TCardInfoRec& info) {
    info.Account = static_cast<int32_t>(answer.GetAttrInt64("Account", 0));
    info.Deleted = answer.GetAttrBool("Deleted", false);
    info.Discount = static_cast<int16_t>(answer.GetAttrInt64("Discount", 0));
    info.Bonus = static_cast<int16_t>(answer.GetAttrInt64("Bonus", 0));
    info.Summa = answer.GetAttrInt64("Summa", 0);
    info.DiscLimit = answer.GetAttrInt64("DiscLimit", 0);
    CopyTextField(info.Holder, 40, answer.GetAttrText("Holder", ""));
    info.Sum2 = answer.GetAttrInt64("Sum2", 0);
    info.Sum3 = answer.GetAttrInt64("Sum3", 0);
    info.Sum4 = answer.GetAttrInt64("Sum4", 0);
    info.Sum5 = answer.GetAttrInt64("Sum5", 0);
    info.Sum6 = answer.GetAttrInt64("Sum6", 0);
    info.Sum7 = answer.GetAttrInt64("Sum7", 0);
    info.Sum8 = answer.GetAttrInt64("Sum8", 0);
    info.Unpay = static_cast<int32_t>(answer.GetAttrInt64("Unpay", 0));
    info.Seize = answer.GetAttrBool("Seize", false);
    info.Locked = answer.GetAttrBool("Locked", false);
    CopyTextField(info.WhyLock, 255, answer.GetAttrText("WhyLock", ""));
    CopyTextField(info.DopInfo, 255, answer.GetAttrText("DopInfo", ""));
    CopyTextField(info.ScrMessage, 255, answer.GetAttrText("ScrMessage", ""));
    CopyTextField(info.PrnMessage, 255, answer.GetAttrText("PrnMessage", ""));
}

}  // namespace

extern "C" int32_t TOLVEX_CALL GetCardInfoEx(int64_t CardCode, int32_t Rest, int32_t Unit,
                                             TCardInfoRec* Info, const void* InpBuf, uint32_t InpLen,
                                             uint16_t InpKind, const char** OutBuf, int32_t* OutLen,
                                             int16_t* OutKind) {
    return Platform::CallForHost([&]() -> int32_t {
        const std::string callLine = CardInfoCallLine(CallTimeText(), CardCode, Rest, Unit, InpLen, InpKind);
        LogFile::LogWrite(callLine);
        const Scenario scenario;

        // One walk: the first answer with the card code and the input kind, else the
        // first with the card code alone.
        const AnswerAttr cardCode("CardCode");
        const AnswerAttr inpKind("InpKind");
        TolvexXml::IXmlNode cardCodeMatch;
        TolvexXml::IXmlNode match = scenario.FindAnswer(AnswerNames, [&](TXmlNode& answer) {
            if (cardCode.Int64(answer, 0) != CardCode) return false;
            if (inpKind.Int64(answer, 0) == static_cast<int64_t>(InpKind)) return true;
            if (!cardCodeMatch) cardCodeMatch = &answer;
            return false;
        });
        if (!match) match = cardCodeMatch;
        if (!match) return 1;

        // Every pointer the answer needs is checked before anything is written.
        const TolvexXml::IXmlNode output = match->SelectElement("OutputInfo");
        TCardInfoRec& info = *Required(Info, CallName, "Info");
        if (output) {
            Required(OutBuf, CallName, "OutBuf");
            Required(OutLen, CallName, "OutLen");
            Required(OutKind, CallName, "OutKind");
        }
        if (InpLen != 0) Required(InpBuf, CallName, "InpBuf");

        FillCardInfo(*match, info);
        if (output) {
            // OutKind first, then OutLen: when both are unreadable, OutKind names the failure.
            const int64_t outputKind = output->GetAttrInt64("OutKind", 0);
            const int64_t outputLength = output->GetAttrInt64("OutLen", 0);
            LogFile::LogWrite(
                Platform::Format("  Output OutKind=%" PRId64 ", OutLen=%" PRId64, outputKind, outputLength));
            std::string& text = CardInfoOutput();
            text = output->GetText();
            *OutBuf = text.c_str();
            *OutLen = static_cast<int32_t>(text.size());
            *OutKind = static_cast<int16_t>(outputKind);
        }
        if (InpLen != 0) LogFile::WriteInputDump(Unit, callLine, InpBuf, InpLen);
        return 0;
    });
}
