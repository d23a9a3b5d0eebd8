#include "concurrency/DocumentRoundTrips.h"

#include <exception>

#include "platform/Stream.h"
#include "xml/TolvexXml.h"
#include "xml/XmlLoad.h"

namespace TolvexTest {

namespace {

using namespace TolvexXml;

// A document with a declaration, attributes of several kinds, text that needs
// escaping, nested elements and one empty "Slot" for a content handler.
IXmlDocument BuildDocument(const std::string& owner, int round) {
    IXmlDocument document = new TXmlDocument(GlobalNameTable());
    IXmlElement root = document->NewDocument("1.0", "", "Root");
    root->SetAttrText("Owner", owner);
    root->SetAttrInt64("Round", round);
    for (int item = 0; item < 20; ++item) {
        IXmlElement element = root->AppendElement("Item");
        element->SetAttrInt64("N", item);
        element->SetAttrBool("Even", item % 2 == 0);
        element->SetAttrFloat("Ratio", item / 4.0);
        element->AppendElement("Name")->SetText("item <" + std::to_string(item) + "> & \"more\"");
        element->AppendComment(" comment ");
    }
    root->AppendElement("Slot");
    return document;
}

void Check(std::vector<std::string>& problems, bool condition, const std::string& what, int round) {
    if (!condition) problems.push_back(what + " differs in round " + std::to_string(round));
}

void RunRound(const std::string& name, int round, std::vector<std::string>& problems) {
    const IXmlDocument document = BuildDocument(name, round);
    const std::string xml = document->GetXML();

    const std::string fileName = name + ".xml";
    document->SaveToFile(fileName);
    Check(problems, LoadXmlFile(fileName)->GetXML() == xml, "reloaded text", round);

    Platform::TMemoryStream stream;
    document->SaveToStreamWithHandler(stream, "Slot", [](const IXmlElement&, std::string& content) {
        content = "<Filled/>";
    });
    std::string filled = xml;
    filled.replace(filled.find("<Slot/>"), 7, "<Slot><Filled/></Slot>");
    Check(problems, stream.Bytes() == filled, "text saved with a handler", round);

    IXmlDocument fromImage = new TXmlDocument(GlobalNameTable());
    fromImage->LoadBinaryXML(document->GetBinaryXML());
    Check(problems, fromImage->GetXML() == xml, "text of the binary image", round);

    Check(problems, document->CloneNode(true)->GetXML() == xml, "text of the clone", round);
}

}  // namespace

std::vector<std::string> RunDocumentRoundTrips(const std::string& name, int rounds) {
    std::vector<std::string> problems;
    for (int round = 0; round < rounds; ++round) {
        try {
            RunRound(name, round, problems);
        } catch (const std::exception& failure) {
            problems.push_back(name + " round " + std::to_string(round) + " failed: " + failure.what());
        }
    }
    return problems;
}

}  // namespace TolvexTest
