// The server's line in the local-service list WBK-EXCHANGELOCALSERVICE.TXT: added
// when the server starts, removed when it stops. Several servers share the file,
// so every change is a read-modify-write under a lock file and touches only the
// server's own line.
#pragma once

#include <string>

namespace wb::server {

// Appends name as the last line unless the list already holds it.
void PublishServiceName(const std::string& name);
// Removes the first line equal to name; the other lines stay in their order.
void WithdrawServiceName(const std::string& name);

}  // namespace wb::server
