// The persistence container's stream: any bytes loaded as a container, as a
// file, the clipboard or another program may hand one over; then every entry
// read by every encoding, nested containers loaded in turn, pictures decoded
// from their BMP form, and the content written to and saved again.
//
// Rules checked: a load that fails leaves the content empty; a load that
// succeeds agrees with the measuring of the stream, and saving gives back
// exactly the bytes that were loaded; a nested container loads when its
// framing measures whole and is refused otherwise; a decoded picture encodes to a BMP that decodes to the
// same picture; values written after a load survive a save and a load.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Bitmap24.h"
#include "ContainerFormat.h"
#include "FuzzInput.h"

namespace {

bool SameContent(const ContainerContent& a, const ContainerContent& b) {
  return a.Entries() == b.Entries() && a.Data() == b.Data();
}

// Each read either finds the name and decodes, or raises the format error;
// nothing else.
template <class Value, class Read>
void TryRead(Read read) {
  Value value{};
  try {
    read(value);
  } catch (const ContainerFormatError&) {
  }
}

void CheckPicture(std::string_view bytes) {
  const std::optional<TBitmap> picture = DecodeBmp(bytes);
  if (!picture) return;
  const std::optional<TBitmap> again = DecodeBmp(EncodeBmp(*picture));
  fuzz::Check(again.has_value() && *again == *picture, "a picture does not survive its BMP");
}

// Entries may share a nested container, so a walk into every one of them
// could take time exponential in the nesting: the walk stops after so many.
constexpr int kNestedLoads = 64;

void Exercise(ContainerContent& content, int& nestedLoadsLeft);

// The bytes of a kind-9 entry hold a container or not; they load exactly
// when their framing measures whole.
void LoadNested(std::string_view stream, int& nestedLoadsLeft) {
  const std::optional<size_t> measured = MeasureContainerStream(stream);
  MemoryByteSource source(stream);
  ContainerContent nested;
  ContainerLoad loaded = ContainerLoad::BadMagic;
  try {
    loaded = nested.Load(source);
  } catch (const ContainerFormatError&) {
    fuzz::Check(!measured.has_value(), "a nested container that measures whole does not load");
    return;
  }
  if (loaded == ContainerLoad::BadMagic) {
    fuzz::Check(!measured.has_value(), "a nested container that measures whole has no magic");
    return;
  }
  fuzz::Check(measured == stream.size() && source.Position() == stream.size(),
              "a nested container's length is off");
  Exercise(nested, nestedLoadsLeft);
}

void Exercise(ContainerContent& content, int& nestedLoadsLeft) {
  // Copies: the reads move the shared position, not the directory.
  const std::vector<PersistEntry> entries = content.Entries();
  for (const PersistEntry& entry : entries) {
    const std::string& name = entry.name;
    TryRead<int32_t>([&](int32_t& v) { content.ReadInteger(name, v); });
    TryRead<uint32_t>([&](uint32_t& v) { content.ReadHandle(name, v); });
    TryRead<int64_t>([&](int64_t& v) { content.ReadInt64(name, v); });
    TryRead<std::string>([&](std::string& v) { content.ReadString(name, v); });
    TryRead<std::wstring>([&](std::wstring& v) { content.ReadWideString(name, v); });
    TryRead<Record16>([&](Record16& v) { content.ReadRecord16(name, v); });
    TryRead<TPoint>([&](TPoint& v) { content.ReadPoint(name, v); });
    TryRead<TRect>([&](TRect& v) { content.ReadRect(name, v); });
    TryRead<bool>([&](bool& v) { content.ReadBoolean(name, v); });
    TryRead<std::string>([&](std::string& v) {
      if (content.ReadCountedBytes(name, v) &&
          entry.kind == static_cast<uint8_t>(PersistKind::Graphic)) {
        CheckPicture(v);
      }
    });
    // The first entry of a name is the one read; later ones share its name.
    const PersistEntry& read = *std::find_if(
        entries.begin(), entries.end(), [&](const PersistEntry& e) { return e.name == name; });
    const bool first = &entry == &read;
    std::optional<std::string_view> stream;
    try {
      stream = content.FindContainerStream(name);
    } catch (const ContainerFormatError&) {
      fuzz::Check(read.offset < 0 || static_cast<size_t>(read.offset) > content.Data().size(),
                  "an entry that begins inside the data block cannot be looked into");
      continue;
    }
    fuzz::Check(stream.has_value(), "a listed entry is not found");
    if (first && entry.kind == static_cast<uint8_t>(PersistKind::Container) &&
        nestedLoadsLeft > 0) {
      --nestedLoadsLeft;
      LoadNested(std::string(*stream), nestedLoadsLeft);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);
  CheckPicture(bytes);

  MemoryByteSource source(bytes);
  ContainerContent content;
  content.WriteInteger("before", 1);
  ContainerLoad loaded = ContainerLoad::BadMagic;
  try {
    loaded = content.Load(source);
  } catch (const ContainerFormatError&) {
    fuzz::Check(content.Entries().empty() && content.Data().empty(),
                "a failed load leaves content behind");
    fuzz::Check(!MeasureContainerStream(bytes).has_value(),
                "the measure takes a stream that the load refuses");
    return 0;
  }
  if (loaded == ContainerLoad::BadMagic) {
    fuzz::Check(content.Entries().empty() && content.Data().empty(),
                "a load without magic leaves content behind");
    return 0;
  }

  const std::optional<size_t> measured = MeasureContainerStream(bytes);
  fuzz::Check(measured == source.Position(), "the measure and the load disagree");
  fuzz::Check(content.Save() == bytes.substr(0, source.Position()),
              "saving does not give back the bytes loaded");

  int nestedLoadsLeft = kNestedLoads;
  Exercise(content, nestedLoadsLeft);

  // Appending after a load keeps everything readable.
  content.WriteWideString("wide", std::wstring(L"\u00e9\u0416\xD800"));
  content.WriteRect("rect", {1, 2, 3, 4});
  content.WriteContainerStream("nested", content.Save());
  const std::string saved = content.Save();
  MemoryByteSource again(saved);
  ContainerContent reloaded;
  fuzz::Check(reloaded.Load(again) == ContainerLoad::Loaded, "a saved container has no magic");
  fuzz::Check(SameContent(reloaded, content), "a saved container loads differently");
  return 0;
}
