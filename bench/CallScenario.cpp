#include "CallScenario.h"

#include <cstdlib>
#include <fstream>

#include "support/ScenarioDocument.h"

namespace TolvexBench {

std::string CallScenarioDocument(std::size_t minimumSize) {
    static const std::string rootEnd = "</Root>\r\n";
    std::string text = ScenarioDocument(minimumSize);
    text.resize(text.size() - rootEnd.size());
    text += "  <GetCardInfoEx CardCode=\"" + std::to_string(CallCardCode) +
            "\" InpKind=\"2\" Account=\"41\" Holder=\"Last card\" Summa=\"1250\">\r\n"
            "    <OutputInfo OutKind=\"1\" OutLen=\"9\">last card</OutputInfo>\r\n"
            "  </GetCardInfoEx>\r\n";
    text += rootEnd;
    return text;
}

std::string MakeScenarioDirectory(const char* prefix) {
    std::string directory = std::string("/tmp/") + prefix + "-XXXXXX";
    return mkdtemp(directory.data()) ? directory : std::string();
}

std::size_t WriteCallScenario(std::size_t minimumSize) {
    const std::string text = CallScenarioDocument(minimumSize);
    std::ofstream file(CallScenarioFile, std::ios::binary);
    file << text;
    file.close();
    return file ? text.size() : 0;
}

}  // namespace TolvexBench
