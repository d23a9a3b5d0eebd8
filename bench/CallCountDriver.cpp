// A driver for callgrind instruction counts of the whole export call, which do
// not depend on the machine's load: writes the call scenario of the given size
// as "in.xml" into a new directory, then runs one kind of work on that file
// twice (docs/performance.md gives the counts of both runs together).
//   tolvex_call_count call|pugixml|tinyxml2|libxml2 [bytes]
//     call      GetCardInfoEx through the built library: load, lookup, release
//     pugixml   load_file and release of the same file; tinyxml2: LoadFile,
//               libxml2: xmlReadFile
// Under callgrind, --toggle-collect=TolvexBench::Measured* counts only the work.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "CallLibrary.h"
#include "CallScenario.h"
#include "PeerFileLoads.h"

namespace TolvexBench {

// A new directory holding the scenario file, made the current one.
bool EnterScenarioDirectory(std::size_t size) {
    const std::string directory = MakeScenarioDirectory("tolvex-call-count");
    if (directory.empty() || chdir(directory.c_str()) != 0) return false;
    const std::size_t written = WriteCallScenario(size);
    if (written == 0) return false;
    std::printf("scenario: %s/%s, %zu bytes\n", directory.c_str(), CallScenarioFile, written);
    return true;
}

int Run(const std::string& mode, std::size_t size) {
    static const char* const modes[] = {"call", "pugixml", "tinyxml2", "libxml2"};
    if (std::find(std::begin(modes), std::end(modes), mode) == std::end(modes)) {
        std::fprintf(stderr, "usage: tolvex_call_count call|pugixml|tinyxml2|libxml2 [bytes]\n");
        return 2;
    }
    if (!EnterScenarioDirectory(size)) {
        std::perror("tolvex_call_count: scenario directory");
        return 1;
    }
    TGetCardInfoEx getCardInfoEx = nullptr;
    if (mode == "call") {
        std::string error;
        getCardInfoEx = OpenGetCardInfoEx(error);
        if (!getCardInfoEx) {
            std::fprintf(stderr, "tolvex_call_count: %s\n", error.c_str());
            return 1;
        }
    }
    int results[2] = {};
    for (int& result : results) {
        if (mode == "call") {
            result = MeasuredCall(getCardInfoEx);
        } else if (mode == "pugixml") {
            result = MeasuredPugixml();
        } else if (mode == "tinyxml2") {
            result = MeasuredTinyxml2();
        } else {
            result = MeasuredLibxml2();
        }
    }
    std::printf("%s: results %d %d\n", mode.c_str(), results[0], results[1]);
    return results[0] > 0 && results[1] > 0 ? 0 : 1;
}

}  // namespace TolvexBench

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::size_t size = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1'000'000;
    xmlInitParser();
    const int result = TolvexBench::Run(mode, size);
    xmlCleanupParser();
    return result;
}
