// Loading JSON from streams and files.
#include "client/file_helpers.h"
#include "client/streams.h"
#include "json/wbjson_text.h"

namespace wb {

std::unique_ptr<TWBCustomJSON> TWBJSONStreamer::LoadFromStream(TStream* stream) {
  if (stream == nullptr) return nullptr;
  return Parse(stream->ReadRest());
}

std::unique_ptr<TWBCustomJSON> TWBJSONStreamer::LoadFromFile(const std::string& fileName) {
  if (!FileExistsEx(fileName)) return nullptr;
  std::unique_ptr<TFileStream> stream;
  // Read only; the suite's server may read and write the file meanwhile.
  OpenFileStreamRetry(fileName, stream, fmOpenRead | fmShareDenyNone);
  try {
    return LoadFromStream(stream.get());
  } catch (const EInOutError&) {
    return nullptr;  // once open, a file that cannot be read counts as unreadable
  }
}

}  // namespace wb
