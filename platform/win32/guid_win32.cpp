// GUIDs on Windows: CoCreateGuid.
#include "platform/guid.h"

#include "platform/win32/win32_util.h"

#include <cstring>

namespace wb::platform {

bool CreateGuid(Guid& guid) {
  GUID created;
  HRESULT result = ::CoCreateGuid(&created);
  if (FAILED(result)) {
    ::SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_NOT_SUPPORTED);
    return false;
  }
  guid.Data1 = created.Data1;
  guid.Data2 = created.Data2;
  guid.Data3 = created.Data3;
  std::memcpy(guid.Data4.data(), created.Data4, 8);
  return true;
}

}  // namespace wb::platform
