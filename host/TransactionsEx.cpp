#include "host/CallLines.h"
#include "host/TolvexTypes.h"
#include "host/Tolvex29.h"
#include "log/LogFile.h"
#include "platform/FailureBoundary.h"

using namespace Tolvex29;

extern "C" int32_t TOLVEX_CALL TransactionsEx(int32_t Count, TTransactionRec* const* /*Transactions*/,
                                              const void* /*InpBuf*/, uint32_t InpLen, uint16_t InpKind,
                                              const char** OutBuf, int32_t* OutLen, int16_t* OutKind) {
    return Platform::CallForHost([&]() -> int32_t {
        LogFile::LogWrite(TransactionsCallLine(CallTimeText(), Count, InpLen, InpKind));
        std::string& output = TransactionsOutput();
        output.clear();
        *OutBuf = output.c_str();
        *OutLen = static_cast<int32_t>(output.size());
        *OutKind = 1;
        return 0;
    });
}
