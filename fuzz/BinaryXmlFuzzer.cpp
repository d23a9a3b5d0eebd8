// libFuzzer target for binary XML images. The input is the image after its
// signature. It is loaded from a string and from a stream; both must end alike,
// and an image that loads must save and reload to the same bytes. Only the
// library's own failures may leave a load.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "base/Exception.h"
#include "platform/Stream.h"
#include "xml/TolvexXml.h"
#include "xml/XmlBinary.h"

using namespace TolvexXml;

namespace {

// The failure message, empty when the image loaded; `saved` is the image written back.
std::string Load(const std::string& image, bool viaStream, std::string& saved) {
    IXmlDocument document(new TXmlDocument(GlobalNameTable()));
    try {
        if (viaStream) {
            Platform::TMemoryStream stream(image);
            stream.Seek(14, Platform::SeekOrigin::Beginning);
            LoadBinaryXmlFromStream(*document, stream);
        } else {
            document->LoadBinaryXML(image);
        }
        saved = document->GetBinaryXML();
        return "";
    } catch (const Platform::Exception& failure) {
        return failure.what();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TolvexFuzz::InitializeUnitOnce();
    const std::string image =
        std::string(BinaryXmlSignature) + std::string(reinterpret_cast<const char*>(data), size);
    std::string fromString, fromStream;
    const std::string failure = Load(image, false, fromString);
    if (failure != Load(image, true, fromStream) || fromString != fromStream) std::abort();
    if (failure.empty()) {
        std::string again;
        if (!Load(fromString, false, again).empty() || again != fromString) std::abort();
    }
    return 0;
}
