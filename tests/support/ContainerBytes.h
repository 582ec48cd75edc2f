#pragma once
// Container streams written by hand, byte for byte: the magic, the entries
// and the data block, with every count given by the test so that it can lie;
// and integers read back in one expression.
// No platform header, so that the tests of the pure byte format use it on the
// host as well.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"
#include "ContainerFormat.h"

namespace testsupport {

// One directory entry: its name, its offset into the data block, its kind.
struct RawEntry {
  std::string name;
  int32_t offset;
  uint8_t kind;
};

// The magic, `count`, the entries, `dataSize` and the data.
inline std::string RawStream(int32_t count, const std::vector<RawEntry>& entries,
                             int32_t dataSize, std::string_view data) {
  std::string bytes(kContainerMagic.begin(), kContainerMagic.end());
  bytes += Int32Bytes(count);
  for (const RawEntry& entry : entries) {
    bytes += Int32Bytes(static_cast<int32_t>(entry.name.size())) + entry.name +
             Int32Bytes(entry.offset) + static_cast<char>(entry.kind);
  }
  return bytes + Int32Bytes(dataSize) + std::string(data);
}

// The integer of the name in a container (anything that reads integers by
// name); none when the name is missing.
template <class Container>
std::optional<int32_t> IntegerIn(Container& container, std::string_view name) {
  int32_t value = 0;
  if (!container.ReadInteger(name, value)) return std::nullopt;
  return value;
}

}  // namespace testsupport
