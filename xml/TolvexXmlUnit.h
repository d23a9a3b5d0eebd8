// Initialisation and finalisation of the TolvexXml unit (once each, counted), and
// the unit-level settings. The settings keep their initial values in this system.
#pragma once

namespace TolvexXml {

class TXmlNameTable;

void InitializeUnit();
void FinalizeUnit();

// PreserveWhiteSpace of every new document, and the mode of nodes in no document.
inline bool DefaultPreserveWhiteSpace = false;
// When true, the text of child elements does not count in an element's text.
inline bool TextExcludesElements = true;
// Encoding assumed when a document names none.
inline const char* DefaultEncoding = "windows-1251";

// The process-wide table that marks "make a private table" for a new document;
// null outside the unit's life.
TXmlNameTable* GlobalNameTable() noexcept;

}  // namespace TolvexXml
