// Helpers of the Win32 backend: COM for one thread, path parts.
#include "platform/win32/win32_util.h"

namespace wb::platform {

ComScope::ComScope() {
  // S_FALSE: this thread had COM already; it still needs the matching uninitialise.
  HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  initialised_ = result == S_OK || result == S_FALSE;
}

ComScope::~ComScope() {
  if (initialised_) ::CoUninitialize();
}

std::string LastPathPart(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && (name.back() == '\\' || name.back() == '/')) name.pop_back();
  size_t slash = name.find_last_of("\\/");
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace wb::platform
