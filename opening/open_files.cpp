// Opening documents with external programs; see open_files.h.
#include "opening/open_files.h"

#include <memory>

#include "platform/shell.h"

namespace wb {

TWorkerThreadPool& OpeningThreadPool() {
  static TWorkerThreadPool pool(kOpeningPoolMinThreads, kOpeningPoolMaxThreads);
  return pool;
}

void ShutdownOpeningThreadPool() { OpeningThreadPool().Shutdown(); }

void ShellOpenAsync(const std::string& verb, const std::string& file) {
  OpeningThreadPool().AddJob(std::make_unique<TShellThreadJob>(verb, StripOuterQuotes(file), ""));
}

void OpenWithProgram(const std::string& verb, const std::string& file, bool ask) {
  const std::string target = StripOuterQuotes(file);
  TResolvedProgram resolved = ResolveProgram(target, ask);
  if (resolved.Cancelled) return;
  OpeningThreadPool().AddJob(
      std::make_unique<TShellThreadJob>(verb, target, resolved.Program, resolved.AskAssociation));
}

bool ShowInFolder(const std::string& file) { return platform::ShowItemInFolder(file); }

}  // namespace wb
