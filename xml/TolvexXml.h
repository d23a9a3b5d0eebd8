// The public headers of the TolvexXml unit in one include.
#pragma once

#include "xml/TolvexXmlUnit.h"
#include "xml/XmlBase.h"
#include "xml/XmlDocument.h"
#include "xml/XmlExceptions.h"
#include "xml/XmlNameTable.h"
#include "xml/XmlNode.h"
#include "xml/XmlNodeKinds.h"
