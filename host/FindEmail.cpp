// FindEmail: a card found by its holder's e-mail address. Unlike the other
// exports it never fails: any failure during the call returns 0.
#include "host/AnswerMatch.h"
#include "host/CallLines.h"
#include "host/Scenario.h"
#include "host/Tolvex29.h"
#include "host/TolvexTypes.h"
#include "log/LogFile.h"

using namespace Tolvex29;

namespace {

constexpr const char* CallName = "FindEmail";

int32_t FindCardByEmail(const char* Email, TEmailCardRec* Rec) {
    LogFile::LogWrite(FindEmailCallLine(CallTimeText(), Email));
    const std::string email = Required(Email, CallName, "Email");
    const Scenario scenario;
    const TolvexXml::IXmlNode match = MatchEmail(scenario, email, nullptr);
    if (!match) return 1;
    FillRecord(*match, RuleOf(AnswerCall::Email), Required(Rec, CallName, "Rec"), nullptr);
    return 0;
}

}  // namespace

extern "C" int32_t TOLVEX_CALL FindEmail(const char* Email, TEmailCardRec* Rec) {
    try {
        return FindCardByEmail(Email, Rec);
    } catch (...) {
        return 0;
    }
}
