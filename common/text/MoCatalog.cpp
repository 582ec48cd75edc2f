#include "MoCatalog.h"

#include <algorithm>
#include <array>

#include "Utf.h"

namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr uint32_t kSwappedMagic = 0xde120495;
constexpr size_t kHeaderSize = 28;  // magic, revision, count, 2 tables, hash
constexpr size_t kTableEntrySize = 8;  // length, offset

uint32_t ReadUint32(std::string_view data, size_t offset, bool bigEndian) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) {
    const auto byte = static_cast<uint8_t>(data[offset + (bigEndian ? i : 3 - i)]);
    value = (value << 8) | byte;
  }
  return value;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The value of "charset=" in a catalog header, e.g.
// "Content-Type: text/plain; charset=UTF-8\n".
std::string CharsetFromHeader(std::string_view header) {
  constexpr std::string_view kKey = "charset=";
  for (size_t at = 0; at + kKey.size() <= header.size(); ++at) {
    if (!EqualsIgnoringCase(header.substr(at, kKey.size()), kKey)) continue;
    const size_t start = at + kKey.size();
    size_t end = start;
    while (end < header.size() && header[end] != ' ' && header[end] != '\t' &&
           header[end] != '\r' && header[end] != '\n' && header[end] != ';') {
      ++end;
    }
    return std::string(header.substr(start, end - start));
  }
  return {};
}

bool IsLanguageCharacter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
         (c >= L'0' && c <= L'9') || c == L'_' || c == L'-';
}

}  // namespace

MoCatalog::MoCatalog(std::string data) : data_(std::move(data)) {
  valid_ = Parse();
  if (!valid_) {
    entries_.clear();
    charset_.clear();
    data_.clear();
  }
}

bool MoCatalog::Parse() {
  const std::string_view data = data_;
  if (data.size() < kHeaderSize) return false;
  bool bigEndian = false;
  if (ReadUint32(data, 0, false) == kMagic) {
    bigEndian = false;
  } else if (ReadUint32(data, 0, false) == kSwappedMagic) {
    bigEndian = true;
  } else {
    return false;
  }
  // Major revisions 0 and 1 share the plain tables read here; later ones
  // may not.
  const uint32_t revision = ReadUint32(data, 4, bigEndian);
  if ((revision >> 16) > 1) return false;

  const uint64_t count = ReadUint32(data, 8, bigEndian);
  const uint64_t keyTable = ReadUint32(data, 12, bigEndian);
  const uint64_t textTable = ReadUint32(data, 16, bigEndian);
  const uint64_t tableSize = count * kTableEntrySize;
  if (keyTable + tableSize > data.size() || textTable + tableSize > data.size()) {
    return false;
  }

  // A string is valid when it and its terminating zero lie inside the data.
  auto readString = [&](uint64_t table, uint64_t index, uint32_t& offset,
                        uint32_t& length) {
    const size_t at = static_cast<size_t>(table + index * kTableEntrySize);
    length = ReadUint32(data, at, bigEndian);
    offset = ReadUint32(data, at + 4, bigEndian);
    const uint64_t end = uint64_t{offset} + length;
    return end < data.size() && data[static_cast<size_t>(end)] == '\0';
  };

  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(count));
  for (uint64_t i = 0; i < count; ++i) {
    Entry entry{};
    if (!readString(keyTable, i, entry.keyOffset, entry.keyLength) ||
        !readString(textTable, i, entry.textOffset, entry.textLength)) {
      return false;
    }
    entries.push_back(entry);
  }

  // The tables of a hostile catalog need not be sorted; a stable sort keeps
  // the first of equal keys in front, and that one is found.
  std::stable_sort(entries.begin(), entries.end(),
                   [this](const Entry& a, const Entry& b) { return Key(a) < Key(b); });
  entries_ = std::move(entries);

  if (!entries_.empty() && entries_.front().keyLength == 0) {
    charset_ = CharsetFromHeader(Text(entries_.front()));
  }
  return true;
}

std::string_view MoCatalog::Key(const Entry& entry) const noexcept {
  return std::string_view(data_).substr(entry.keyOffset, entry.keyLength);
}

std::string_view MoCatalog::Text(const Entry& entry) const noexcept {
  return std::string_view(data_).substr(entry.textOffset, entry.textLength);
}

std::optional<std::string_view> MoCatalog::FindRaw(std::string_view msgid) const {
  // The empty key is the header, which is no translation.
  if (msgid.empty()) return std::nullopt;
  const auto found = std::lower_bound(
      entries_.begin(), entries_.end(), msgid,
      [this](const Entry& entry, std::string_view key) { return Key(entry) < key; });
  if (found == entries_.end() || Key(*found) != msgid) return std::nullopt;
  const std::string_view text = Text(*found);
  if (text.empty()) return std::nullopt;
  return text;
}

bool MoCatalog::IsUtf8() const noexcept {
  static constexpr std::array<std::string_view, 5> kUtf8Names = {
      "UTF-8", "UTF8", "ASCII", "US-ASCII", "ANSI_X3.4-1968"};
  return std::any_of(kUtf8Names.begin(), kUtf8Names.end(),
                     [this](std::string_view name) {
                       return EqualsIgnoringCase(charset_, name);
                     });
}

std::optional<std::wstring> MoCatalog::Find(std::wstring_view english,
                                            const MoTextDecoder& decodeOther) const {
  if (!valid_) return std::nullopt;
  const auto raw = FindRaw(Utf16ToUtf8(english));
  if (!raw) return std::nullopt;
  if (IsUtf8()) return Utf8ToUtf16(*raw);
  if (!decodeOther) return std::nullopt;
  return decodeOther(*raw);
}

std::wstring LanguageFromLocaleSetting(std::wstring_view setting) {
  // "ll_CC.codeset@modifier": the modifier may also follow a bare "ll_CC".
  const size_t end = setting.find_first_of(L".@");
  const std::wstring_view language = setting.substr(0, end);
  if (language.empty() || language == L"C" || language == L"POSIX") return {};
  // The language becomes a folder name; anything that could leave the
  // locale folder is no language.
  if (!std::all_of(language.begin(), language.end(), IsLanguageCharacter)) {
    return {};
  }
  return std::wstring(language);
}

std::vector<std::wstring> CatalogCandidates(std::wstring_view folder,
                                            std::wstring_view language,
                                            std::wstring_view program) {
  std::vector<std::wstring> candidates;
  if (language.empty()) return candidates;
  std::wstring base(folder);
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  base += L"locale\\";
  auto add = [&](std::wstring_view name) {
    candidates.push_back(base + std::wstring(name) + L"\\LC_MESSAGES\\" +
                         std::wstring(program) + L".mo");
  };
  add(language);
  const size_t underscore = language.find(L'_');
  if (underscore != std::wstring_view::npos && underscore > 0) {
    add(language.substr(0, underscore));
  }
  return candidates;
}
