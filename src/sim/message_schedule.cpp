#include "sim/message_schedule.h"

namespace rillmark {

void processMessagesNow(FrameContext& ctx) {
  ctx.view.processMessages();
  // The handlers that ran may have changed parameters.
  ctx.readParameters();
  // Read after the handlers ran: a long one (a message box) must not make
  // the next check due at once.
  ctx.state.MessagesProcessedAt = ctx.platform.monotonicMicroseconds();
}

bool processMessagesIfDue(FrameContext& ctx) {
  if (ctx.platform.monotonicMicroseconds() - ctx.state.MessagesProcessedAt < kMessageIntervalMicroseconds) return false;
  processMessagesNow(ctx);
  return true;
}

}  // namespace rillmark
