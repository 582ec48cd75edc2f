#include "Translation.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <utility>

#include "CodePage.h"
#include "MessageFormat.h"
#include "ProgramFile.h"

namespace {

// Catalogs of these programs are a few kilobytes; a file far beyond that is
// no catalog of ours and is not read.
constexpr LONGLONG kMaxCatalogSize = 16 * 1024 * 1024;

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  HANDLE raw = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
  const UniqueHandle file(raw);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      size.QuadPart > kMaxCatalogSize) {
    return std::nullopt;
  }
  std::string data(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < data.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), data.data() + done,
                  static_cast<DWORD>(data.size() - done), &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;  // the file shrank meanwhile
    done += read;
  }
  data.resize(done);
  return data;
}

std::wstring EnvironmentVariable(const wchar_t* name) {
  std::wstring value(64, L'\0');
  for (;;) {
    const DWORD length = GetEnvironmentVariableW(name, value.data(),
                                                 static_cast<DWORD>(value.size()));
    if (length == 0) return {};
    if (length < value.size()) {
      value.resize(length);
      return value;
    }
    // Too small: length is the size needed, terminating zero included.
    value.resize(length);
  }
}

std::wstring LocaleField(LCID locale, LCTYPE field) {
  wchar_t buffer[16] = {};
  const int length = GetLocaleInfoW(locale, field, buffer, ARRAYSIZE(buffer));
  return length > 1 ? std::wstring(buffer, static_cast<size_t>(length - 1))
                    : std::wstring();
}

std::wstring UserLocaleLanguage() {
  const LCID locale = GetUserDefaultLCID();
  std::wstring language = LocaleField(locale, LOCALE_SISO639LANGNAME);
  if (language.empty()) return {};
  const std::wstring country = LocaleField(locale, LOCALE_SISO3166CTRYNAME);
  if (!country.empty()) language += L"_" + country;
  return language;
}

std::wstring DecodeAnsi(std::string_view bytes) { return AnsiToWide(bytes); }

}  // namespace

MessageCatalog::MessageCatalog(MoCatalog catalog, std::wstring path)
    : catalog_(std::move(catalog)), path_(std::move(path)) {}

MessageCatalog MessageCatalog::Load(std::wstring_view folder,
                                    std::wstring_view language,
                                    std::wstring_view program) noexcept {
  try {
    for (const std::wstring& path : CatalogCandidates(folder, language, program)) {
      if (auto data = ReadWholeFile(path)) {
        return MessageCatalog(MoCatalog(std::move(*data)), path);
      }
    }
  } catch (...) {
    // No memory for the catalog: stay English.
  }
  return {};
}

std::wstring MessageCatalog::Translate(std::wstring_view english) const {
  try {
    if (auto translation = catalog_.Find(english, DecodeAnsi)) return *translation;
  } catch (...) {
    // Stay English.
  }
  return std::wstring(english);
}

std::wstring MessageCatalog::TranslateFormat(
    std::wstring_view english, std::span<const std::wstring_view> args) const {
  try {
    if (auto translation = catalog_.Find(english, DecodeAnsi)) {
      if (HasSamePlaceholders(english, *translation)) {
        return FormatMessageText(*translation, args);
      }
    }
  } catch (...) {
    // Stay English.
  }
  return FormatMessageText(english, args);
}

std::wstring MessageCatalog::TranslateFormat(
    std::wstring_view english, std::initializer_list<std::wstring_view> args) const {
  return TranslateFormat(english,
                         std::span<const std::wstring_view>(args.begin(), args.size()));
}

std::wstring CurrentLanguage() {
  const std::wstring setting = EnvironmentVariable(L"LANG");
  if (setting.empty()) return LanguageFromLocaleSetting(UserLocaleLanguage());
  return LanguageFromLocaleSetting(setting);
}

MessageCatalog LoadProgramCatalog() noexcept {
  try {
    const std::wstring path = ProgramFilePath();
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    std::wstring program = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = program.rfind(L'.');
    if (dot != std::wstring::npos) program.resize(dot);
    // The catalogs are named in lower case, whatever case the program's
    // file name has.
    for (wchar_t& c : program) {
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return MessageCatalog::Load(folder, CurrentLanguage(), program);
  } catch (...) {
    return {};
  }
}

const MessageCatalog& ProgramCatalog() {
  static const MessageCatalog catalog = LoadProgramCatalog();
  return catalog;
}

std::wstring Translate(std::wstring_view english) {
  try {
    return ProgramCatalog().Translate(english);
  } catch (...) {
    return std::wstring(english);
  }
}

std::wstring TranslateFormat(std::wstring_view english,
                             std::span<const std::wstring_view> args) {
  try {
    return ProgramCatalog().TranslateFormat(english, args);
  } catch (...) {
    return FormatMessageText(english, args);
  }
}

std::wstring TranslateFormat(std::wstring_view english,
                             std::initializer_list<std::wstring_view> args) {
  return TranslateFormat(english,
                         std::span<const std::wstring_view>(args.begin(), args.size()));
}
