// The bundled demo printer list (demo/printers.json, UTF-8), built into the server
// so that it answers PRINTERS wherever it is started from.
#pragma once

#include <cstddef>

namespace wb::server {
extern const unsigned char kDemoPrintersJson[];
extern const std::size_t kDemoPrintersJsonSize;
}  // namespace wb::server
