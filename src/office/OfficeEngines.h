#pragma once
// The office engines this build has, and what they let the program handle on this machine.

#include "core/DocumentEngine.h"

namespace varnel {

// What this machine supports, the counterpart of probing installed office applications.
struct OfficeCapabilities {
    bool hasWord = false;             // some Word format can be replaced
    bool hasExcel = false;
    bool hasPowerPoint = false;
    bool wordNewFormats = false;      // .docx
    bool excelNewFormats = false;     // .xlsx .xlsm
    bool powerPointNewFormats = false; // .pptx
};

// Registers every engine this build has (the legacy binary formats only when LibreOffice is found).
void registerOfficeEngines(EngineRegistry& registry);

// Whether LibreOffice is installed, which the Office 97-2003 binary formats need.
bool legacyFormatsAvailable();

// The capabilities the registered engines give.
OfficeCapabilities capabilitiesOf(const EngineRegistry& registry);

} // namespace varnel
