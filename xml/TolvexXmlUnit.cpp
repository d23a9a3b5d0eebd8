#include "xml/TolvexXmlUnit.h"

namespace TolvexXml {

namespace {
int unitInitCount = 0;
}

void InitializeUnit() {
    if (unitInitCount++ != 0) return;
}

void FinalizeUnit() {
    if (--unitInitCount != 0) return;
}

}  // namespace TolvexXml
