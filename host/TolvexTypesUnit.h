// The unit of the host record types (TolvexTypes.h) holds no code; it only takes
// its place in the load order and counts its initialisations like every unit.
#pragma once

namespace TolvexTypes {

void InitializeUnit();
void FinalizeUnit();

}  // namespace TolvexTypes
