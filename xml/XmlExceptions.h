// The failure classes of the XML library.
#pragma once

#include "base/Exception.h"

namespace TolvexXml {

using Platform::Exception;

TOLVEX_DECLARE_EXCEPTION(TolvexXmlException, Exception);
TOLVEX_DECLARE_EXCEPTION(NeedAttrException, TolvexXmlException);
TOLVEX_DECLARE_EXCEPTION(NeedChildException, TolvexXmlException);

}  // namespace TolvexXml
