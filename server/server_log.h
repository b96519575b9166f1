// wbk-localserver's log: one line per event on stderr, whole lines only even when
// many connections log at once. Messages are 8-bit text.
#pragma once

#include <string>

namespace wb::server {

void SetVerboseLog(bool verbose);
bool VerboseLog();
// Always written: start, stop and failures.
void LogLine(const std::string& text);
// Written with --verbose only.
void LogVerbose(const std::string& text);

}  // namespace wb::server
