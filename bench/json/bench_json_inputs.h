// The two inputs of the JSON benchmark, made by the benchmark itself so that
// every run measures the same text: the entries file with 10 000 entries, and a
// server reply of about 1 MB with printers and an order. Both are UTF-8, which
// every library of the comparison reads (the tool's own files are in the system
// code page, which the peers would refuse).
#pragma once

#include <string>

namespace wb::bench {

// The readable text of an entries document (two-space indentation, CR LF).
std::string EntriesFileText(int entryCount);
// A compact reply text of at least targetBytes bytes.
std::string ServerReplyText(std::size_t targetBytes);

}  // namespace wb::bench
