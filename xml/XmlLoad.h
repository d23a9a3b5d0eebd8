// Loading documents: the TXmlDocument loads (LoadXML, LoadFromStream,
// LoadFromFile, LoadResource) are members of the document; this header adds the
// unit-level load of a file into a new document.
#pragma once

#include <string>

#include "xml/XmlDocument.h"

namespace TolvexXml {

// A new document with a private name table, loaded from the file. Failures of
// the load propagate (EFOpenError for a file that cannot be opened).
IXmlDocument LoadXmlFile(const std::string& fileName);

}  // namespace TolvexXml
