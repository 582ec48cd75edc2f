#include "FileVersion.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "ProgramFile.h"

std::wstring GetProgramFileVersion() {
  const std::wstring path = ProgramFilePath();
  if (path.empty()) return {};
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return {};
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {};

  struct LanguageAndCodePage {
    WORD language;
    WORD codePage;
  };
  LanguageAndCodePage* translations = nullptr;
  UINT translationBytes = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &translationBytes) ||
      translationBytes < sizeof(LanguageAndCodePage)) {
    return {};
  }
  wchar_t key[64];
  swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion",
           translations[0].language, translations[0].codePage);
  wchar_t* value = nullptr;
  UINT valueLength = 0;
  if (!VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &valueLength) ||
      value == nullptr) {
    return {};
  }
  return std::wstring(value);
}
