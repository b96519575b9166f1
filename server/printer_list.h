// The PRINTERS answer: {"Printers":[{"Name":...,"Bins":[{"Bin":...}]}]}, from the
// --printers file when given, else from CUPS when it knows printers, else the
// bundled demo list (demo/printers.json, built into the server).
#pragma once

#include <string>
#include <vector>

#include "server/cups_printing.h"
#include "server/server_options.h"

namespace wb::server {

std::u16string PrintersAnswer(const TServerOptions& options);

// The JSON text (8-bit) of a printer list.
std::string PrintersJson(const std::vector<TPrinterInfo>& printers);

// The bundled demo list.
std::u16string DemoPrintersJson();

// A text file's content as UTF-16: UTF-8 (with or without byte-order mark) when it
// is valid UTF-8, else the system code page. False when it cannot be read.
bool ReadTextFile(const std::string& fileName, std::u16string& text);

}  // namespace wb::server
