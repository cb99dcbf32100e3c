// The fixed table of ripple events of a run. Records are appended in frame
// order (and list order within a frame), never changed once written, and
// skipped rather than removed when they grow old.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "sim/ripple_event.h"

namespace rillmark {

class EventTable {
 public:
  static constexpr std::int32_t kCapacity = 100001;

  EventTable();

  std::int32_t EventCount() const { return eventCount_; }

  // Stores the record at index EventCount. A full table keeps its records
  // and counts the refused one instead; returns false then.
  bool append(const RippleEvent& record);

  // EventCount = 0; the records stay as they are.
  void empty();

  // Every record to all zeros and EventCount = 0.
  void wipe();

  // The valid records, index 0 to EventCount - 1.
  std::span<const RippleEvent> valid() const { return {records_.get(), static_cast<std::size_t>(eventCount_)}; }

  const RippleEvent& operator[](std::int32_t index) const { return records_[index]; }

  // Events refused since the last empty() or wipe() because the table was full.
  std::int32_t droppedCount() const { return droppedCount_; }

 private:
  std::unique_ptr<RippleEvent[]> records_;
  std::int32_t eventCount_ = 0;
  std::int32_t droppedCount_ = 0;
};

}  // namespace rillmark
