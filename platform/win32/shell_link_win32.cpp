// Shell links on Windows: a .lnk written through the shell's link object
// (IShellLinkA) and saved with its IPersistFile, the path in UTF-16 from the
// system code page.
#include "platform/shell_link.h"

#include "platform/win32/win32_util.h"

#include "platform/files.h"

namespace wb::platform {
namespace {

// Releases a COM interface when it goes.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

// A failed HRESULT as the thread's last error for the caller's message.
bool Failed(HRESULT result) {
  if (SUCCEEDED(result)) return false;
  ::SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result));
  return true;
}

bool Describe(IShellLinkA& link, const TShellLink& description) {
  return !Failed(link.SetArguments(description.Arguments.c_str())) &&
         !Failed(link.SetShowCmd(description.ShowCommand)) &&
         !Failed(link.SetWorkingDirectory(description.WorkingDirectory.c_str())) &&
         !Failed(link.SetPath(description.Path.c_str())) &&
         !Failed(link.SetDescription(description.Description.c_str())) && !Failed(link.SetHotkey(description.HotKey)) &&
         !Failed(link.SetIconLocation(description.IconLocation.c_str(), description.IconIndex));
}

// The link's path as the persist interface takes it. A path that does not fit
// in MAX_PATH characters is refused rather than cut, which would put the link
// somewhere else.
bool WidePath(const std::string& path, wchar_t (&wide)[MAX_PATH]) {
  int length = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  if (length <= 0) {
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  return true;
}

}  // namespace

bool SaveShellLink(const TShellLink& link, const std::string& linkPath) {
  if (linkPath.empty() || linkPath.find('\0') != std::string::npos) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  wchar_t widePath[MAX_PATH];
  if (!WidePath(linkPath, widePath)) return false;
  ComScope com;
  ComRef<IShellLinkA> shellLink;
  if (Failed(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.OutVoid())))
    return false;
  if (!Describe(*shellLink.operator->(), link)) return false;
  ComRef<IPersistFile> file;
  if (Failed(shellLink->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
  return !Failed(file->Save(widePath, TRUE));
}

std::string GetModuleFileName() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace wb::platform
