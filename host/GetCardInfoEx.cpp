#include "host/CallLines.h"
#include "host/TolvexTypes.h"
#include "host/Tolvex29.h"
#include "log/LogFile.h"
#include "platform/FailureBoundary.h"

using namespace Tolvex29;

extern "C" int32_t TOLVEX_CALL GetCardInfoEx(int64_t CardCode, int32_t Rest, int32_t Unit,
                                             TCardInfoRec* /*Info*/, const void* /*InpBuf*/,
                                             uint32_t InpLen, uint16_t InpKind,
                                             const char** /*OutBuf*/, int32_t* /*OutLen*/,
                                             int16_t* /*OutKind*/) {
    return Platform::CallForHost([&]() -> int32_t {
        LogFile::LogWrite(CardInfoCallLine(CallTimeText(), CardCode, Rest, Unit, InpLen, InpKind));
        return 1;
    });
}
