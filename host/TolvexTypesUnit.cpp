#include "host/TolvexTypesUnit.h"

namespace TolvexTypes {

namespace {
int unitInitCount = 0;
}

void InitializeUnit() { ++unitInitCount; }
void FinalizeUnit() { --unitInitCount; }

}  // namespace TolvexTypes
