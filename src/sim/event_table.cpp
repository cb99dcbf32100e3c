#include "sim/event_table.h"

#include <algorithm>

namespace rillmark {

EventTable::EventTable() : records_(std::make_unique<RippleEvent[]>(kCapacity)) { wipe(); }

bool EventTable::append(const RippleEvent& record) {
  if (eventCount_ >= kCapacity) {
    if (droppedCount_ < INT32_MAX) ++droppedCount_;
    return false;
  }
  records_[eventCount_] = record;
  ++eventCount_;
  return true;
}

void EventTable::empty() {
  eventCount_ = 0;
  droppedCount_ = 0;
}

void EventTable::wipe() {
  std::fill_n(records_.get(), kCapacity, RippleEvent{});
  empty();
}

}  // namespace rillmark
