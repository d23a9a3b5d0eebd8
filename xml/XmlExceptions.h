// The failure classes of the XML library.
#pragma once

#include "platform/Exception.h"

namespace TolvexXml {

TOLVEX_DECLARE_EXCEPTION(TolvexXmlException, Platform::Exception);
TOLVEX_DECLARE_EXCEPTION(NeedAttrException, TolvexXmlException);
TOLVEX_DECLARE_EXCEPTION(NeedChildException, TolvexXmlException);

}  // namespace TolvexXml
