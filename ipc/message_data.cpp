// CreateMessageData: the one way to make a message.
#include "ipc/message_data.h"

namespace wb {

IMessageDataPtr CreateMessageData() { return std::make_shared<TMessageData>(); }

}  // namespace wb
