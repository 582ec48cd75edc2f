#pragma once
// The persistence container as tests look into it: memory streams, the saved
// bytes, the directory as (name, kind) pairs, nested containers and single
// values read back in one expression.

#include <windows.h>
#include <objidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ContainerBytes.h"
#include "ContainerFormat.h"
#include "ObjectContainer.h"

namespace testsupport {

using ContainerPtr = Microsoft::WRL::ComPtr<IPersistContainer>;

// A directory entry as the container reports it.
using ContainerEntry = std::pair<std::string, uint8_t>;

inline constexpr uint8_t KindOf(PersistKind kind) { return static_cast<uint8_t>(kind); }
inline constexpr uint8_t kKindInteger = KindOf(PersistKind::Integer);
inline constexpr uint8_t kKindHandle = KindOf(PersistKind::Handle);
inline constexpr uint8_t kKindString = KindOf(PersistKind::String);
inline constexpr uint8_t kKindWideString = KindOf(PersistKind::WideString);
inline constexpr uint8_t kKindPoint = KindOf(PersistKind::Point);
inline constexpr uint8_t kKindRect = KindOf(PersistKind::Rect);
inline constexpr uint8_t kKindBoolean = KindOf(PersistKind::Boolean);
inline constexpr uint8_t kKindContainer = KindOf(PersistKind::Container);
inline constexpr uint8_t kKindGraphic = KindOf(PersistKind::Graphic);

// A stream in memory that holds the bytes, positioned at its start.
inline Microsoft::WRL::ComPtr<IStream> MemoryStream(std::string_view bytes = {}) {
  Microsoft::WRL::ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf()), S_OK);
  ULONG written = 0;
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

inline uint64_t PositionOf(IStream* stream) {
  const LARGE_INTEGER zero{};
  ULARGE_INTEGER position{};
  stream->Seek(zero, STREAM_SEEK_CUR, &position);
  return position.QuadPart;
}

inline void SeekTo(IStream* stream, int64_t position) {
  LARGE_INTEGER offset{};
  offset.QuadPart = position;
  stream->Seek(offset, STREAM_SEEK_SET, nullptr);
}

// Every byte of the stream; its position is kept.
inline std::string BytesOf(IStream* stream) {
  const uint64_t position = PositionOf(stream);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::string bytes(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
  SeekTo(stream, 0);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  SeekTo(stream, static_cast<int64_t>(position));
  return bytes;
}

// The container stream that the container saves.
inline std::string SavedBytes(IPersistContainer* container) {
  const Microsoft::WRL::ComPtr<IStream> stream = MemoryStream();
  EXPECT_TRUE(container->SaveToStream(stream.Get()));
  return BytesOf(stream.Get());
}

// A new container loaded from the bytes.
inline ContainerPtr LoadedFrom(std::string_view bytes) {
  ContainerPtr container = NewPersistContainer();
  EXPECT_TRUE(container->LoadFromStream(MemoryStream(bytes).Get()));
  return container;
}

inline ContainerPtr ContainerWithInteger(std::string_view name, int32_t value) {
  ContainerPtr container = NewPersistContainer();
  container->WriteInteger(name, value);
  return container;
}

// The directory in order.
inline std::vector<ContainerEntry> Entries(IPersistContainer* container) {
  std::vector<ContainerEntry> entries;
  for (int32_t i = 0; i < container->Count(); ++i) {
    entries.emplace_back(container->EntryName(i), container->EntryKind(i));
  }
  return entries;
}

// The nested container of the name; empty when there is none.
inline ContainerPtr Sub(IPersistContainer* container, std::string_view name) {
  ContainerPtr sub;
  ReadSubContainer(container, name, sub);
  return sub;
}

// The value of the name; none when the name is missing.
inline std::optional<int32_t> IntegerIn(IPersistContainer* container, std::string_view name) {
  return IntegerIn(*container, name);
}
inline std::optional<std::wstring> WideStringIn(IPersistContainer* container,
                                                std::string_view name) {
  std::wstring value;
  if (!container->ReadWideString(name, value)) return std::nullopt;
  return value;
}

}  // namespace testsupport
