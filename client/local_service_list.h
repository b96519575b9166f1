// The local-service list the suite's servers publish in the temporary folder.
#pragma once

#include <string>

#include "strings/string_list.h"

namespace wb {

// Reads WBK-EXCHANGELOCALSERVICE.TXT from GetClientTempDir(""): lines receives a
// copy of all lines (when given); the result is the first line or "".
std::string ReadLocalServiceList(TStringList* lines);

}  // namespace wb
