#include "tools/DocumentCommands.h"

#include "xml/TolvexXml.h"
#include "xml/XmlLoad.h"

namespace TolvexHost {

void CompileDocument(const std::string& source, const std::string& target) {
    const TolvexXml::IXmlDocument document = TolvexXml::LoadXmlFile(source);
    document->SaveBinaryToFile(target, 0);
}

std::string RenderDocument(const std::string& source, bool compact) {
    const TolvexXml::IXmlDocument document = TolvexXml::LoadXmlFile(source);
    document->PreserveWhiteSpace = compact;
    return document->GetXML();
}

}  // namespace TolvexHost
