// Initialisation and finalisation of the TolvexXml unit (once each, counted).
#pragma once

namespace TolvexXml {

void InitializeUnit();
void FinalizeUnit();

}  // namespace TolvexXml
