// The library's build mark: the version and build as text inside the file, found
// by searching its bytes for the mark's prefix (tolvex-host --version reads it),
// so any copy of the library says what it is without being loaded.
#include "TolvexBuildInfo.h"
#include "host/BuildMark.h"

namespace Tolvex29 {

[[gnu::used]] extern const char BuildMark[] = TOLVEX_BUILD_MARK_PREFIX TOLVEX_BUILD;

}  // namespace Tolvex29
