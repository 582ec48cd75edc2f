#include "RemoteRecordExchange.h"

#include <cstdint>

namespace {

// Releases the block on every way out of the exchange.
class ReservedBlock {
 public:
  ReservedBlock(RemoteControlPort& port, std::uint32_t size)
      : port_(port), address_(port.Reserve(size)) {}
  ~ReservedBlock() {
    if (address_ != 0) port_.Release(address_);
  }
  ReservedBlock(const ReservedBlock&) = delete;
  ReservedBlock& operator=(const ReservedBlock&) = delete;

  RemoteAddress Address() const { return address_; }

 private:
  RemoteControlPort& port_;
  RemoteAddress address_;
};

template <class Record>
std::int32_t Exchange(RemoteControlPort& port, std::uint32_t message,
                      std::uintptr_t wordParameter, Record& record) {
  constexpr std::uint32_t recordSize = sizeof(Record);
  if (record.Text == nullptr || record.TextSize < 0) return kRemoteReadFailed;
  // Both fit in 32 bits: TextSize is at most 2^31 - 1.
  const std::uint32_t textAreaSize = static_cast<std::uint32_t>(record.TextSize) + 1;

  const ReservedBlock block(port, recordSize + textAreaSize);
  if (block.Address() == 0) return kRemoteReadFailed;
  const RemoteAddress textArea = block.Address() + recordSize;

  Record copy = record;
  copy.Text = reinterpret_cast<char*>(static_cast<std::uintptr_t>(textArea));
  if (!port.Write(block.Address(), &copy, recordSize)) return kRemoteReadFailed;
  if (port.Send(message, wordParameter, block.Address()) == 0) return kRemoteReadFailed;
  if (!port.Read(block.Address(), &copy, recordSize)) return kRemoteReadFailed;

  // The other process may have written anything into the record. The text
  // pointer and the text size stay the caller's: the returned pointer is an
  // address over there, and a returned size would give the caller's next
  // exchange with this record a text area larger than the caller's buffer.
  copy.Text = record.Text;
  copy.TextSize = record.TextSize;
  record = copy;
  if (!port.Read(textArea, record.Text, textAreaSize)) return kRemoteReadFailed;
  return kRemoteReadSucceeded;
}

}  // namespace

std::int32_t ExchangeColumnRecord(RemoteControlPort& port, std::uint32_t message,
                                  std::uintptr_t wordParameter, TListViewColumn& column) {
  return Exchange(port, message, wordParameter, column);
}

std::int32_t ExchangeItemRecord(RemoteControlPort& port, std::uint32_t message,
                                TListViewItem& item) {
  return Exchange(port, message, 0, item);
}
