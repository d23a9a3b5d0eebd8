#include "xml/XmlRunScan.h"

namespace TolvexXml::RunScan {

#if defined(TOLVEX_RUN_SCAN_SSE2_CHECKED)
// Windows 8 and later require SSE2 of every processor, earlier systems do not:
// the library asks the processor instead of requiring it.
const bool ProcessorHasSse2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2") != 0;
}();
#endif

}  // namespace TolvexXml::RunScan
