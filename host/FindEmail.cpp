#include "host/CallLines.h"
#include "host/TolvexTypes.h"
#include "host/Tolvex29.h"
#include "log/LogFile.h"

using namespace Tolvex29;

extern "C" int32_t TOLVEX_CALL FindEmail(const char* Email, TEmailCardRec* /*Rec*/) {
    // Every failure of this call becomes result 0.
    try {
        LogFile::LogWrite(FindEmailCallLine(CallTimeText(), Email));
        return 1;
    } catch (...) {
        return 0;
    }
}
