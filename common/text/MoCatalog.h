#pragma once
// A reader of GNU gettext message catalogs (.mo files), and the rules that
// say which catalog file serves which language. No platform calls: the bytes
// come from whoever reads the file.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Turns translation bytes of a catalog whose charset is not UTF-8 (nor
// ASCII) into UTF-16; given by the caller, who knows the system's code pages.
using MoTextDecoder = std::function<std::wstring(std::string_view bytes)>;

class MoCatalog {
 public:
  // A catalog with no entries.
  MoCatalog() = default;
  // Takes the whole file. Data that is not a well-formed catalog, in either
  // byte order, is ignored as a whole: the catalog then has no entries.
  explicit MoCatalog(std::string data);

  bool IsValid() const noexcept { return valid_; }

  // The translation bytes of the entry whose key is exactly `msgid`; none when
  // there is no such entry or its translation is empty. Keys of entries with
  // a context or a plural form never equal a plain message id.
  std::optional<std::string_view> FindRaw(std::string_view msgid) const;

  // The charset named by the header entry's Content-Type, as written; empty
  // when the catalog has no header or the header names none.
  const std::string& Charset() const noexcept { return charset_; }

  // True when translations are UTF-8 (ASCII is a subset of it).
  bool IsUtf8() const noexcept;

  // The translation of `english`, decoded to UTF-16: from UTF-8 when the
  // catalog is UTF-8, else with `decodeOther`; none when there is no
  // translation or no decoder for the catalog's charset.
  std::optional<std::wstring> Find(std::wstring_view english,
                                   const MoTextDecoder& decodeOther = {}) const;

 private:
  struct Entry {
    uint32_t keyOffset;
    uint32_t keyLength;
    uint32_t textOffset;
    uint32_t textLength;
  };

  std::string_view Key(const Entry& entry) const noexcept;
  std::string_view Text(const Entry& entry) const noexcept;
  bool Parse();

  // Entries refer to data_ by offset, so moving the catalog keeps them right.
  std::string data_;
  std::vector<Entry> entries_;  // sorted by key
  std::string charset_;
  bool valid_ = false;
};

// The language that a locale setting such as LANG asks for: the codeset
// (".UTF-8") and the modifier ("@euro") dropped, e.g. "de_DE". Empty when the
// setting means untranslated English ("C", "POSIX") or names nothing.
std::wstring LanguageFromLocaleSetting(std::wstring_view setting);

// The catalog files to try for a language, best first:
// <folder>\locale\<ll_CC>\LC_MESSAGES\<program>.mo, then the same with only
// the language part <ll>. No files for an empty language.
std::vector<std::wstring> CatalogCandidates(std::wstring_view folder,
                                            std::wstring_view language,
                                            std::wstring_view program);
