#include <cstring>

#include "host/CallLines.h"
#include "host/TolvexTypes.h"
#include "host/Tolvex29.h"
#include "log/LogFile.h"
#include "platform/Exception.h"
#include "platform/FailureBoundary.h"

using namespace Tolvex29;

namespace {

// The answer for card 0: "image0.xml" and zero bytes, the whole field.
constexpr char BuiltInImageBlock[sizeof(TCardImageRec::FileName)] = "image0.xml";

}  // namespace

extern "C" int32_t TOLVEX_CALL GetCardImageEx(int64_t CardCode, TCardImageRec* Rec) {
    return Platform::CallForHost([&]() -> int32_t {
        LogFile::LogWrite(CardImageCallLine(CallTimeText(), CardCode));
        if (Rec == nullptr) throw Platform::EArgumentError("GetCardImageEx: Rec is a null pointer");
        if (CardCode == 0) {
            std::memcpy(Rec->FileName, BuiltInImageBlock, sizeof BuiltInImageBlock);
            return 0;
        }
        return 1;
    });
}
