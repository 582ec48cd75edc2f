#include "TapBlock.h"

namespace snaretap {

namespace {

// Virtual-key codes of the modifiers, generic and sided.
constexpr std::uint32_t kShift = 0x10;
constexpr std::uint32_t kControl = 0x11;
constexpr std::uint32_t kMenu = 0x12;
constexpr std::uint32_t kLeftShift = 0xA0;
constexpr std::uint32_t kRightShift = 0xA1;
constexpr std::uint32_t kLeftControl = 0xA2;
constexpr std::uint32_t kRightControl = 0xA3;
constexpr std::uint32_t kLeftMenu = 0xA4;
constexpr std::uint32_t kRightMenu = 0xA5;

void Store(volatile TapRecord& slot, const TapRecord& record) {
  slot.Message = record.Message;
  slot.ScanCode = record.ScanCode;
  slot.VirtualKey = record.VirtualKey;
  slot.Flags = record.Flags;
  slot.X = record.X;
  slot.Y = record.Y;
  slot.Time = record.Time;
  slot.RawVirtualKey = record.RawVirtualKey;
  slot.ExtraInfo = record.ExtraInfo;
}

void Append(volatile TapRecord (&ring)[kRingSlots], volatile std::uint32_t& writeCounter,
            const TapRecord& record) {
  const std::uint32_t counter = writeCounter;
  Store(ring[counter % kRingSlots], record);
  writeCounter = NextCounter(counter);
}

}  // namespace

std::uint32_t GenericVirtualKey(std::uint32_t virtualKey) {
  switch (virtualKey) {
    case kLeftShift:
    case kRightShift:
      return kShift;
    case kLeftControl:
    case kRightControl:
      return kControl;
    case kLeftMenu:
    case kRightMenu:
      return kMenu;
    default:
      return virtualKey;
  }
}

void AppendMouseRecord(volatile TapBlock& block, const TapRecord& record) {
  Append(block.MouseRing, block.MouseWriteCounter, record);
}

void AppendKeyboardRecord(volatile TapBlock& block, const TapRecord& record) {
  Append(block.KeyboardRing, block.KeyboardWriteCounter, record);
}

}  // namespace snaretap
