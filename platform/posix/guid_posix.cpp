// GUIDs on POSIX: random version-4 UUIDs from the kernel's generator.
#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/guid.h"

namespace wb::platform {

bool CreateGuid(Guid& guid) {
  unsigned char bytes[16];
  size_t filled = 0;
  while (filled < sizeof bytes) {
    ssize_t got = getrandom(bytes + filled, sizeof bytes - filled, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      SetLastError(kErrorNotSupported);
      return false;
    }
    filled += static_cast<size_t>(got);
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  guid.Data1 = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
  guid.Data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  guid.Data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  std::memcpy(guid.Data4.data(), bytes + 8, 8);
  return true;
}

}  // namespace wb::platform
