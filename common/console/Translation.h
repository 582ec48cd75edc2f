#pragma once
// Every user-visible message is looked up by its English text in the GNU
// gettext catalog of the running program, for the user's language, before
// it is printed. Without a catalog or an entry the English text is used, and
// a failing lookup never raises.

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "MoCatalog.h"

// The translations of one program for one language.
class MessageCatalog {
 public:
  // No translations: every message stays English.
  MessageCatalog() = default;
  explicit MessageCatalog(MoCatalog catalog, std::wstring path = {});

  // The first of CatalogCandidates(folder, language, program) that exists.
  // A missing or unreadable file gives the empty catalog; so does a file that
  // is no catalog.
  static MessageCatalog Load(std::wstring_view folder, std::wstring_view language,
                             std::wstring_view program) noexcept;

  // The file the translations came from; empty when there was none.
  const std::wstring& Path() const noexcept { return path_; }

  // The translation of `english`, else `english` itself.
  std::wstring Translate(std::wstring_view english) const;

  // The translation of `english` when it has the same placeholders as the
  // English text, else the English text; formatted with `args`.
  std::wstring TranslateFormat(std::wstring_view english,
                               std::span<const std::wstring_view> args) const;
  std::wstring TranslateFormat(std::wstring_view english,
                               std::initializer_list<std::wstring_view> args) const;

 private:
  MoCatalog catalog_;
  std::wstring path_;
};

// The language of this process: LANG without codeset and modifier, empty for
// "C" and "POSIX"; when LANG is unset or empty, the user's locale as "ll_CC".
std::wstring CurrentLanguage();

// The catalog of the running program for CurrentLanguage(): found in the
// "locale" folder beside the program's file, named after the program's file
// without extension, in lower case.
MessageCatalog LoadProgramCatalog() noexcept;

// LoadProgramCatalog(), loaded on first use and kept for the process.
const MessageCatalog& ProgramCatalog();

// ProgramCatalog().Translate and TranslateFormat, e.g.
// TranslateFormat(L"Invalid file %s", {name}).
std::wstring Translate(std::wstring_view english);
std::wstring TranslateFormat(std::wstring_view english,
                             std::span<const std::wstring_view> args);
std::wstring TranslateFormat(std::wstring_view english,
                             std::initializer_list<std::wstring_view> args);
