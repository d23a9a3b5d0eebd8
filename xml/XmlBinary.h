// Documents in the binary XML form. The TXmlDocument members GetBinaryXML,
// LoadBinaryXML, SaveBinaryToStream and SaveBinaryToFile are defined with these;
// the text loads hand an image they recognise by its signature to the loads here.
#pragma once

#include <string>

#include "xml/XmlBinaryIo.h"
#include "xml/XmlDocument.h"

namespace TolvexXml {

// Loads the image that follows the signature in the stream into the document,
// whose children and attributes are already removed: the document gets a new name
// table filled from the image, then its content.
void LoadBinaryXmlFromStream(TXmlDocument& document, Platform::TStream& stream);

// The reading and writing of an image after its header, given a reader or writer.
void ReadBinaryXml(TXmlDocument& document, TBinXmlReader& reader);
void WriteBinaryXml(TXmlDocument& document, TBinXmlWriter& writer);

}  // namespace TolvexXml
