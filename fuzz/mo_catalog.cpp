// The .mo catalog reader: any bytes as a catalog file, then the lookups the
// programs make (the messages, through UTF-8 or the ANSI decoder, and the
// check of a translation's placeholders before it is formatted), and the
// choice of catalog files from a locale setting.
//
// Rules checked: a catalog that is not valid has no charset and finds
// nothing; a found translation is never empty; the zero-terminated strings
// of the file, looked up as keys, never reach outside it; a language taken
// from a setting never holds a character that could leave the locale folder.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "CodePage.h"
#include "FuzzInput.h"
#include "MessageFormat.h"
#include "MoCatalog.h"

namespace {

constexpr std::wstring_view kMessages[] = {
    L"Invalid file %s",
    L"Invalid parameter %s",
    L"Invalid topic \"%s\"",
    L"Stack trace:",
    L"Execution failed!\r\nException info: %s\r\n%s",
};

bool IsLanguageCharacter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
         c == L'_' || c == L'-';
}

void TranslateAndFormat(const MoCatalog& catalog, std::wstring_view english) {
  for (const bool withDecoder : {false, true}) {
    const auto translation =
        withDecoder ? catalog.Find(english, AnsiToWide) : catalog.Find(english);
    if (!translation) continue;
    fuzz::Check(catalog.IsValid(), "a catalog that is not valid finds a translation");
    if (HasSamePlaceholders(english, *translation)) {
      FormatMessageText(*translation, {L"first", L"second"});
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = fuzz::Bytes(data, size);
  const MoCatalog catalog{std::string(bytes)};
  if (!catalog.IsValid()) {
    fuzz::Check(catalog.Charset().empty(), "a catalog that is not valid has a charset");
  }
  catalog.IsUtf8();

  for (const std::wstring_view message : kMessages) TranslateAndFormat(catalog, message);

  // Keys of a catalog are zero-terminated strings of the file: try each.
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view key = bytes.substr(start, end - start);
    if (const auto text = catalog.FindRaw(key)) {
      fuzz::Check(!text->empty(), "an empty translation is found");
      // Reading every byte lets the address sanitizer see where it lies.
      size_t sum = 0;
      for (const char c : *text) sum += static_cast<unsigned char>(c);
      (void)sum;
    }
    TranslateAndFormat(catalog, Utf8ToUtf16(key));
    start = end + 1;
  }

  const std::wstring setting = fuzz::TextFromBytes(bytes.substr(0, 64));
  const std::wstring language = LanguageFromLocaleSetting(setting);
  for (const wchar_t c : language) {
    fuzz::Check(IsLanguageCharacter(c), "a language holds a character outside [A-Za-z0-9_-]");
  }
  const auto candidates = CatalogCandidates(L"C:\\Tools", language, L"keyfeed");
  fuzz::Check(candidates.size() <= 2, "more than two catalog candidates");
  fuzz::Check(language.empty() == candidates.empty(), "candidates without a language");
  return 0;
}
