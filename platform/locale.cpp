// The decimal separator a caller pinned, over the user's own (both backends).
#include <atomic>

#include "platform/locale.h"

namespace wb::platform {
namespace {
std::atomic<char> gDecimalOverride{'\0'};
}  // namespace

char DecimalSeparator() {
  const char override = gDecimalOverride.load();
  return override ? override : UserDecimalSeparator();
}

void SetDecimalSeparatorOverride(char separator) { gDecimalOverride.store(separator); }

}  // namespace wb::platform
