#pragma once
// The byte format of the persistence container, with no platform behind it.
//
// A container is a directory of named, typed entries and one data block that
// holds the values one after the other. Writes only ever append, to the
// directory and to the end of the data block; a read finds the first entry of
// a name and decodes whatever bytes lie at its offset, whatever its kind.
//
// The container stream, little-endian throughout:
//   16 bytes   magic (the container interface's GUID in its binary layout)
//   Int32      N, the number of entries
//   N entries  Int32 name length L (0 to 255), L name bytes, Int32 offset
//              into the data block, 1 byte kind
//   Int32      S, the size of the data block
//   S bytes    the data block
//
// Streams come from files, the clipboard and other programs, so loading
// believes none of the numbers of the framing: every count is checked
// against the bytes that are really left before anything is allocated for
// it. The entries and values are copied as they are, whatever their kind or
// offset, also a kind unknown here; each read checks that the bytes it
// decodes lie in the data block, and a nested container is looked into only
// when it is read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Geometry.h"

// Wide strings are stored as UTF-16 code units, one wchar_t each in the
// programs. The host-compiler build of the pure units (native/) has a 32-bit
// wchar_t, which holds the same units unchanged.
#ifdef _WIN32
static_assert(sizeof(wchar_t) == 2, "wide strings are stored as UTF-16 code units");
#endif

// The kind recorded beside every entry.
enum class PersistKind : uint8_t {
  Integer = 0,      // Int32
  Handle = 1,       // UInt32
  Int64 = 2,        // Int64
  String = 3,       // Int32 byte count, the bytes
  WideString = 4,   // Int32 count of UTF-16 units, two bytes each
  Record16 = 5,     // 16 bytes as they are
  Point = 6,        // X, Y
  Rect = 7,         // Left, Top, Right, Bottom
  Boolean = 8,      // 1 byte, 0 or 1
  Container = 9,    // a complete container stream
  Stream = 10,      // Int32 byte count, the bytes
  XmlDocument = 11, // as Stream: the document as it saves itself
  Graphic = 12,     // as Stream: the picture as a BMP file
};
inline constexpr uint8_t kPersistKindCount = 13;

// Longer names are cut to this many bytes, when written and when looked up.
inline constexpr size_t kMaxEntryNameLength = 255;

inline constexpr std::array<uint8_t, 16> kContainerMagic = {
    0x1D, 0x2E, 0x72, 0xF3, 0xBF, 0xBA, 0x76, 0x4B,
    0xA7, 0x0C, 0x75, 0xD6, 0xBD, 0xC0, 0xA5, 0x36};

using Record16 = std::array<uint8_t, 16>;

// A stream or a value that breaks the format: it ends too early, or one of
// its numbers cannot be true. The platform side reports it as the stream
// read error.
class ContainerFormatError : public std::exception {
 public:
  const char* what() const noexcept override { return "Stream read error"; }
};

// Where a container stream is loaded from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `size` bytes and moves past them; fewer only where the
  // source ends.
  virtual size_t Read(void* buffer, size_t size) = 0;
  // The bytes behind the current position.
  virtual uint64_t Remaining() const = 0;
};

// A ByteSource over bytes in memory.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::string_view bytes) noexcept : bytes_(bytes) {}
  size_t Read(void* buffer, size_t size) override;
  uint64_t Remaining() const override { return bytes_.size() - position_; }
  size_t Position() const noexcept { return position_; }

 private:
  std::string_view bytes_;
  size_t position_ = 0;
};

struct PersistEntry {
  std::string name;  // at most kMaxEntryNameLength bytes
  int32_t offset = 0;
  uint8_t kind = 0;

  friend bool operator==(const PersistEntry&, const PersistEntry&) = default;
};

enum class ContainerLoad { Loaded, BadMagic };

// The directory and the data block of one container, and the read position
// in the data block that every read shares.
class ContainerContent {
 public:
  const std::vector<PersistEntry>& Entries() const noexcept { return entries_; }
  // The data block, every value in the order written.
  const std::string& Data() const noexcept { return data_; }
  size_t Position() const noexcept { return position_; }

  // No entries; the data block empty, position 0.
  void Clear() noexcept;

  // Each write adds one entry for the value and appends its encoding at the
  // end of the data block. Names longer than kMaxEntryNameLength bytes are
  // cut.
  void WriteInteger(std::string_view name, int32_t value);
  void WriteHandle(std::string_view name, uint32_t value);
  void WriteInt64(std::string_view name, int64_t value);
  void WriteString(std::string_view name, std::string_view value);
  void WriteWideString(std::string_view name, std::wstring_view value);
  void WriteRecord16(std::string_view name, const Record16& value);
  void WritePoint(std::string_view name, const TPoint& value);
  void WriteRect(std::string_view name, const TRect& value);
  void WriteBoolean(std::string_view name, bool value);
  // `stream` is a complete container stream, stored as it is.
  void WriteContainerStream(std::string_view name, std::string_view stream);
  // Kinds Stream, XmlDocument and Graphic: a count, then the bytes. False,
  // and nothing written, for more bytes than a count can say.
  bool WriteCountedBytes(std::string_view name, PersistKind kind, std::string_view bytes);

  // Each read looks the name up (first entry wins, byte for byte) and
  // decodes the bytes at the entry by its own encoding, whatever the entry's
  // kind. False, with the target untouched, when the name is missing. Bytes
  // that run past the data block raise ContainerFormatError, also with the
  // target untouched.
  bool ReadInteger(std::string_view name, int32_t& value);
  bool ReadHandle(std::string_view name, uint32_t& value);
  bool ReadInt64(std::string_view name, int64_t& value);
  bool ReadString(std::string_view name, std::string& value);
  bool ReadWideString(std::string_view name, std::wstring& value);
  bool ReadRecord16(std::string_view name, Record16& value);
  bool ReadPoint(std::string_view name, TPoint& value);
  bool ReadRect(std::string_view name, TRect& value);
  bool ReadBoolean(std::string_view name, bool& value);
  bool ReadCountedBytes(std::string_view name, std::string& bytes);
  // The bytes of the data block from the entry on: a nested container
  // stream when the entry holds one whose framing is whole, cut to its own
  // length then. What lies inside it is not looked at.
  std::optional<std::string_view> FindContainerStream(std::string_view name);

  // The whole container stream.
  std::string Save() const;

  // Replaces everything with the container stream at the source's position.
  // The content is emptied first. A source whose first 16 bytes are missing
  // or are not the magic gives BadMagic, and the content stays empty. A
  // stream whose framing is broken raises ContainerFormatError, and the
  // content stays empty as well. The source ends behind the data block.
  ContainerLoad Load(ByteSource& source);

 private:
  void AddEntry(std::string_view name, PersistKind kind);
  // Positions the data block at the first entry of the name.
  bool FindEntry(std::string_view name);
  // The next `size` bytes at the position, which moves past them.
  std::string_view Take(size_t size);
  int32_t TakeInt32();

  std::vector<PersistEntry> entries_;
  std::string data_;
  size_t position_ = 0;
};

// The length of the container stream at the start of `bytes`, when the
// bytes begin with one whose framing is whole: what Load takes of them.
std::optional<size_t> MeasureContainerStream(std::string_view bytes);
