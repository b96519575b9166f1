// New GUIDs from the platform (CoCreateGuid / a random version-4 UUID).
#pragma once

#include <array>
#include <cstdint>

namespace wb::platform {

struct Guid {
  uint32_t Data1 = 0;
  uint16_t Data2 = 0;
  uint16_t Data3 = 0;
  std::array<uint8_t, 8> Data4{};
};

// False when the platform cannot produce one (LastError() tells why).
bool CreateGuid(Guid& guid);

}  // namespace wb::platform
