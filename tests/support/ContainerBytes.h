#pragma once
// Container streams written by hand, byte for byte: the magic, the entries
// and the data block, with every count given by the test so that it can lie;
// and integers read back in one expression.
// No platform header, so that the tests of the pure byte format use it on the
// host as well.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"
#include "ContainerFormat.h"

namespace testsupport {

// Magic, entry count and data size.
inline constexpr size_t kEmptyContainerStreamSize = 24;

// The encoding of an empty container.
inline std::string EmptyContainerStream() { return ContainerContent().Save(); }

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

// The content's stream with three entries behind its own that no read can
// make sense of: "Unknown", of a kind this code does not know, "Broken", a
// nested container whose bytes begin as one and break its framing, and
// "Astray", a nested container whose offset lies far past the data block.
inline std::string WithForeignEntries(const ContainerContent& content) {
  std::vector<RawEntry> entries;
  for (const PersistEntry& entry : content.Entries()) {
    entries.push_back({entry.name, entry.offset, entry.kind});
  }
  std::string data = content.Data();
  entries.push_back({"Unknown", static_cast<int32_t>(data.size()), kPersistKindCount});
  data += "1234";
  entries.push_back({"Broken", static_cast<int32_t>(data.size()),
                     static_cast<uint8_t>(PersistKind::Container)});
  data += std::string(kContainerMagic.begin(), kContainerMagic.end()) + Int32Bytes(INT32_MAX);
  entries.push_back({"Astray", INT32_MAX, static_cast<uint8_t>(PersistKind::Container)});
  return RawStream(static_cast<int32_t>(entries.size()), entries, static_cast<int32_t>(data.size()),
                   data);
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
