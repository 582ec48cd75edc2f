#include "HookRing.h"

namespace {

bool Pending(const volatile std::uint32_t& writeCounter,
             const volatile std::uint32_t& readCounter) {
  return writeCounter != readCounter;
}

// The record is copied before the read counter moves, so the library never
// takes the slot back while it is being read unless it has overrun the ring.
THookEventRecord ReadNext(const volatile THookEventRecord (&ring)[kHookRingSlots],
                          volatile std::uint32_t& readCounter) {
  const std::uint32_t counter = readCounter;
  const THookEventRecord record = CopyHookEventRecord(ring[HookRingSlot(counter)]);
  readCounter = NextHookCounter(counter);
  return record;
}

}  // namespace

bool IsHookActive(const volatile THookSharedBlock& block) { return block.HookActive != 0; }

bool MouseEventPending(const volatile THookSharedBlock& block) {
  return Pending(block.MouseWriteCounter, block.MouseReadCounter);
}

bool KeyEventPending(const volatile THookSharedBlock& block) {
  return Pending(block.KeyboardWriteCounter, block.KeyboardReadCounter);
}

THookEventRecord ReadMouseEvent(volatile THookSharedBlock& block) {
  return ReadNext(block.MouseRing, block.MouseReadCounter);
}

THookEventRecord ReadKeyEvent(volatile THookSharedBlock& block) {
  return ReadNext(block.KeyboardRing, block.KeyboardReadCounter);
}

THookEventRecord CopyHookEventRecord(const volatile THookEventRecord& record) {
  THookEventRecord copy;
  copy.Library0 = record.Library0;
  copy.Library4 = record.Library4;
  copy.VirtualKey = record.VirtualKey;
  copy.Library12 = record.Library12;
  copy.X = record.X;
  copy.Y = record.Y;
  copy.Library24 = record.Library24;
  copy.Library28 = record.Library28;
  copy.Library32 = record.Library32;
  return copy;
}
