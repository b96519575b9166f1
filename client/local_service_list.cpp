// Reader of the local-service list that the suite's servers publish.
#include "client/local_service_list.h"

#include "client/client_dirs.h"
#include "client/file_helpers.h"

namespace wb {

std::string ReadLocalServiceList(TStringList* lines) {
  TStringList read;
  LoadListRetry(read, GetClientTempDir("") + LocalServiceListFile);
  if (lines) lines->Assign(read);
  return read.Count() > 0 ? read.Get(0) : std::string();
}

}  // namespace wb
