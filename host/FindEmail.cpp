// FindEmail: a card found by its holder's e-mail address. Unlike the other
// exports it never fails: any failure during the call returns 0.
#include "host/CallLines.h"
#include "host/Scenario.h"
#include "host/Tolvex29.h"
#include "host/TolvexTypes.h"
#include "log/LogFile.h"
#include "platform/IntegerText.h"

using namespace Tolvex29;
using TolvexXml::TXmlNode;

namespace {

constexpr const char* CallName = "FindEmail";

int32_t FindCardByEmail(const char* Email, TEmailCardRec* Rec) {
    LogFile::LogWrite(FindEmailCallLine(CallTimeText(), Email));
    const std::string email = Required(Email, CallName, "Email");
    const Scenario scenario;
    const AnswerAttr emailAttr("email");
    const TolvexXml::IXmlNode match = scenario.FindAnswer({"FindEmail"}, [&](TXmlNode& answer) {
        return EqualIgnoringAsciiCase(emailAttr.Text(answer, ""), email);
    });
    if (!match) return 1;
    TEmailCardRec& record = *Required(Rec, CallName, "Rec");
    record.Account = static_cast<int32_t>(match->GetAttrInt64("Account", 0));
    record.CardCode = Platform::StrToInt64(match->GetAttrText("CardCode", ""));
    CopyTextField(record.Name, 40, match->GetAttrText("Name", ""));
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
