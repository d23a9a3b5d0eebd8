#include "xml/XmlBase.h"

#include "xml/XmlExceptions.h"

namespace TolvexXml {

void ThrowEmptyReference() {
    throw TolvexXmlException("Call through an empty XML interface reference");
}

}  // namespace TolvexXml
