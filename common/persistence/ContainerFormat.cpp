#include "ContainerFormat.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// A directory entry takes at least its length, offset and kind.
constexpr size_t kMinEntrySize = 4 + 4 + 1;

std::string_view CutName(std::string_view name) noexcept {
  return name.substr(0, std::min(name.size(), kMaxEntryNameLength));
}

void AppendUInt32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void AppendInt32(std::string& out, int32_t value) {
  AppendUInt32(out, static_cast<uint32_t>(value));
}

void AppendUInt64(std::string& out, uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t DecodeUInt32(std::string_view bytes) noexcept {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
  return value;
}

uint64_t DecodeUInt64(std::string_view bytes) noexcept {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
  return value;
}

int32_t DecodeInt32(std::string_view bytes) noexcept {
  return static_cast<int32_t>(DecodeUInt32(bytes));
}

int32_t ReadSourceInt32(ByteSource& source) {
  char bytes[4];
  if (source.Read(bytes, sizeof(bytes)) != sizeof(bytes)) throw ContainerFormatError();
  return DecodeInt32(std::string_view(bytes, sizeof(bytes)));
}

// True when the magic is there; reads up to its 16 bytes.
bool ReadMagic(ByteSource& source) {
  std::array<uint8_t, 16> magic{};
  return source.Read(magic.data(), magic.size()) == magic.size() && magic == kContainerMagic;
}

std::vector<PersistEntry> ReadDirectory(ByteSource& source) {
  const int32_t count = ReadSourceInt32(source);
  if (count < 0 || static_cast<uint64_t>(count) * kMinEntrySize > source.Remaining()) {
    throw ContainerFormatError();
  }
  std::vector<PersistEntry> entries(static_cast<size_t>(count));
  for (PersistEntry& entry : entries) {
    const int32_t length = ReadSourceInt32(source);
    if (length < 0 || static_cast<size_t>(length) > kMaxEntryNameLength) {
      throw ContainerFormatError();
    }
    char name[kMaxEntryNameLength];
    if (source.Read(name, static_cast<size_t>(length)) != static_cast<size_t>(length)) {
      throw ContainerFormatError();
    }
    entry.name.assign(name, static_cast<size_t>(length));
    entry.offset = ReadSourceInt32(source);
    if (source.Read(&entry.kind, 1) != 1) throw ContainerFormatError();
  }
  return entries;
}

int32_t ReadDataSize(ByteSource& source) {
  const int32_t size = ReadSourceInt32(source);
  if (size < 0 || static_cast<uint64_t>(size) > source.Remaining()) throw ContainerFormatError();
  return size;
}

// The length of the container stream at the start of the source: its
// framing read and checked, its values not looked at.
size_t MeasureFraming(MemoryByteSource& source) {
  if (!ReadMagic(source)) throw ContainerFormatError();
  ReadDirectory(source);  // read to check it and to pass it
  const int32_t size = ReadDataSize(source);
  return source.Position() + static_cast<size_t>(size);
}

}  // namespace

size_t MemoryByteSource::Read(void* buffer, size_t size) {
  const size_t count = std::min(size, bytes_.size() - position_);
  if (count != 0) std::memcpy(buffer, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

void ContainerContent::Clear() noexcept {
  entries_.clear();
  data_.clear();
  position_ = 0;
}

void ContainerContent::AddEntry(std::string_view name, PersistKind kind) {
  entries_.push_back({std::string(CutName(name)), static_cast<int32_t>(data_.size()),
                      static_cast<uint8_t>(kind)});
}

void ContainerContent::WriteInteger(std::string_view name, int32_t value) {
  AddEntry(name, PersistKind::Integer);
  AppendInt32(data_, value);
}

void ContainerContent::WriteHandle(std::string_view name, uint32_t value) {
  AddEntry(name, PersistKind::Handle);
  AppendUInt32(data_, value);
}

void ContainerContent::WriteInt64(std::string_view name, int64_t value) {
  AddEntry(name, PersistKind::Int64);
  AppendUInt64(data_, static_cast<uint64_t>(value));
}

void ContainerContent::WriteString(std::string_view name, std::string_view value) {
  AddEntry(name, PersistKind::String);
  AppendInt32(data_, static_cast<int32_t>(value.size()));
  data_.append(value);
}

void ContainerContent::WriteWideString(std::string_view name, std::wstring_view value) {
  AddEntry(name, PersistKind::WideString);
  AppendInt32(data_, static_cast<int32_t>(value.size()));
  for (const wchar_t unit : value) {
    data_ += static_cast<char>(unit & 0xFF);
    data_ += static_cast<char>((unit >> 8) & 0xFF);
  }
}

void ContainerContent::WriteRecord16(std::string_view name, const Record16& value) {
  AddEntry(name, PersistKind::Record16);
  data_.append(reinterpret_cast<const char*>(value.data()), value.size());
}

void ContainerContent::WritePoint(std::string_view name, const TPoint& value) {
  AddEntry(name, PersistKind::Point);
  AppendInt32(data_, value.X);
  AppendInt32(data_, value.Y);
}

void ContainerContent::WriteRect(std::string_view name, const TRect& value) {
  AddEntry(name, PersistKind::Rect);
  AppendInt32(data_, value.Left);
  AppendInt32(data_, value.Top);
  AppendInt32(data_, value.Right);
  AppendInt32(data_, value.Bottom);
}

void ContainerContent::WriteBoolean(std::string_view name, bool value) {
  AddEntry(name, PersistKind::Boolean);
  data_ += static_cast<char>(value ? 1 : 0);
}

void ContainerContent::WriteContainerStream(std::string_view name, std::string_view stream) {
  AddEntry(name, PersistKind::Container);
  data_.append(stream);
}

bool ContainerContent::WriteCountedBytes(std::string_view name, PersistKind kind,
                                         std::string_view bytes) {
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return false;
  AddEntry(name, kind);
  AppendInt32(data_, static_cast<int32_t>(bytes.size()));
  data_.append(bytes);
  return true;
}

bool ContainerContent::FindEntry(std::string_view name) {
  const std::string_view key = CutName(name);
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [key](const PersistEntry& entry) { return entry.name == key; });
  if (found == entries_.end()) return false;
  // A loaded entry may name any offset at all; the read that decodes it
  // finds whether its bytes lie in the data block.
  position_ = found->offset < 0 ? data_.size() + 1 : static_cast<size_t>(found->offset);
  return true;
}

std::string_view ContainerContent::Take(size_t size) {
  if (position_ > data_.size() || size > data_.size() - position_) throw ContainerFormatError();
  const std::string_view bytes = std::string_view(data_).substr(position_, size);
  position_ += size;
  return bytes;
}

int32_t ContainerContent::TakeInt32() { return DecodeInt32(Take(4)); }

bool ContainerContent::ReadInteger(std::string_view name, int32_t& value) {
  if (!FindEntry(name)) return false;
  value = TakeInt32();
  return true;
}

bool ContainerContent::ReadHandle(std::string_view name, uint32_t& value) {
  if (!FindEntry(name)) return false;
  value = DecodeUInt32(Take(4));
  return true;
}

bool ContainerContent::ReadInt64(std::string_view name, int64_t& value) {
  if (!FindEntry(name)) return false;
  value = static_cast<int64_t>(DecodeUInt64(Take(8)));
  return true;
}

bool ContainerContent::ReadString(std::string_view name, std::string& value) {
  if (!FindEntry(name)) return false;
  const int32_t count = TakeInt32();
  if (count < 0) throw ContainerFormatError();
  value.assign(Take(static_cast<size_t>(count)));
  return true;
}

bool ContainerContent::ReadWideString(std::string_view name, std::wstring& value) {
  if (!FindEntry(name)) return false;
  const int32_t count = TakeInt32();
  if (count < 0 || static_cast<size_t>(count) > (data_.size() - position_) / 2) {
    throw ContainerFormatError();
  }
  const std::string_view bytes = Take(2 * static_cast<size_t>(count));
  std::wstring text(static_cast<size_t>(count), L'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<wchar_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                   (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  value = std::move(text);
  return true;
}

bool ContainerContent::ReadRecord16(std::string_view name, Record16& value) {
  if (!FindEntry(name)) return false;
  const std::string_view bytes = Take(value.size());
  std::memcpy(value.data(), bytes.data(), value.size());
  return true;
}

bool ContainerContent::ReadPoint(std::string_view name, TPoint& value) {
  if (!FindEntry(name)) return false;
  const std::string_view bytes = Take(8);
  value = {DecodeInt32(bytes), DecodeInt32(bytes.substr(4))};
  return true;
}

bool ContainerContent::ReadRect(std::string_view name, TRect& value) {
  if (!FindEntry(name)) return false;
  const std::string_view bytes = Take(16);
  value = {DecodeInt32(bytes), DecodeInt32(bytes.substr(4)), DecodeInt32(bytes.substr(8)),
           DecodeInt32(bytes.substr(12))};
  return true;
}

bool ContainerContent::ReadBoolean(std::string_view name, bool& value) {
  if (!FindEntry(name)) return false;
  value = Take(1)[0] != 0;
  return true;
}

bool ContainerContent::ReadCountedBytes(std::string_view name, std::string& bytes) {
  if (!FindEntry(name)) return false;
  const int32_t count = TakeInt32();
  if (count < 0) throw ContainerFormatError();
  bytes.assign(Take(static_cast<size_t>(count)));
  return true;
}

std::optional<std::string_view> ContainerContent::FindContainerStream(std::string_view name) {
  if (!FindEntry(name)) return std::nullopt;
  if (position_ > data_.size()) throw ContainerFormatError();
  const std::string_view rest = std::string_view(data_).substr(position_);
  const std::optional<size_t> length = MeasureContainerStream(rest);
  if (!length) return rest;
  position_ += *length;
  return rest.substr(0, *length);
}

std::string ContainerContent::Save() const {
  std::string out(reinterpret_cast<const char*>(kContainerMagic.data()), kContainerMagic.size());
  AppendInt32(out, static_cast<int32_t>(entries_.size()));
  for (const PersistEntry& entry : entries_) {
    AppendInt32(out, static_cast<int32_t>(entry.name.size()));
    out += entry.name;
    AppendInt32(out, entry.offset);
    out += static_cast<char>(entry.kind);
  }
  AppendInt32(out, static_cast<int32_t>(data_.size()));
  out += data_;
  return out;
}

ContainerLoad ContainerContent::Load(ByteSource& source) {
  Clear();
  if (!ReadMagic(source)) return ContainerLoad::BadMagic;
  std::vector<PersistEntry> entries = ReadDirectory(source);
  const int32_t size = ReadDataSize(source);
  std::string data(static_cast<size_t>(size), '\0');
  if (source.Read(data.data(), data.size()) != data.size()) throw ContainerFormatError();
  entries_ = std::move(entries);
  data_ = std::move(data);
  return ContainerLoad::Loaded;
}

std::optional<size_t> MeasureContainerStream(std::string_view bytes) {
  MemoryByteSource source(bytes);
  try {
    return MeasureFraming(source);
  } catch (const ContainerFormatError&) {
    return std::nullopt;
  }
}
