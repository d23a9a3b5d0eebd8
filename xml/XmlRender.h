// The rendering state that saving shares with the renderer. Rendering keeps its
// nesting depth, the installed content handler, the handler's target name and the
// re-target guard per thread, so threads rendering different documents never meet.
#pragma once

#include <string>

#include "xml/XmlDocument.h"

namespace TolvexXml {

// Installs a content handler and the element name it is asked for, for the life of
// the object; the previous handler and name come back when it goes, also when
// rendering or writing fails. An empty handler installs none.
class TRenderHandlerScope {
public:
    TRenderHandlerScope(const ElementContentHandler& handler, const std::string& targetName) noexcept;
    ~TRenderHandlerScope();
    TRenderHandlerScope(const TRenderHandlerScope&) = delete;
    TRenderHandlerScope& operator=(const TRenderHandlerScope&) = delete;

private:
    const ElementContentHandler* savedHandler_;
    const std::string* savedTargetName_;
};

}  // namespace TolvexXml
