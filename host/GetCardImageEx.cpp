// GetCardImageEx: the name of a card's picture file. Card 0 is answered by a
// built-in block without reading the scenario file.
#include <cstring>

#include "host/AnswerMatch.h"
#include "host/CallLines.h"
#include "host/Scenario.h"
#include "host/Tolvex29.h"
#include "host/TolvexTypes.h"
#include "log/LogFile.h"
#include "platform/FailureBoundary.h"

using namespace Tolvex29;

namespace {

constexpr const char* CallName = "GetCardImageEx";

}  // namespace

extern "C" int32_t TOLVEX_CALL GetCardImageEx(int64_t CardCode, TCardImageRec* Rec) {
    return Platform::CallForHost([&]() -> int32_t {
        LogFile::LogWrite(CardImageCallLine(CallTimeText(), CardCode));
        if (CardCode == 0) {
            // The built-in name and zero bytes: the whole field is written.
            char* const fileName = Required(Rec, CallName, "Rec")->FileName;
            std::memset(fileName, 0, sizeof(TCardImageRec::FileName));
            std::memcpy(fileName, BuiltInCardImageFile, sizeof BuiltInCardImageFile - 1);
            return 0;
        }
        const Scenario scenario;
        const TolvexXml::IXmlNode match = MatchCardImage(scenario, CardCode, nullptr);
        if (!match) return 1;
        // The record is checked before the answer's value is read.
        FillRecord(*match, RuleOf(AnswerCall::CardImage), Required(Rec, CallName, "Rec"), nullptr);
        return 0;
    });
}
