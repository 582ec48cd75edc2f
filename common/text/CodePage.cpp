#include "CodePage.h"

#include <windows.h>

#include <vector>

std::string WideToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(),
                                       static_cast<int>(text.size()), nullptr,
                                       0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(),
                                       static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                      out.data(), size);
  return out;
}

std::string ConvertToOem(std::string_view text) {
  // The text and its terminating zero go through the conversion together;
  // the result ends at the first zero byte.
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  std::vector<char> converted(buffer.size(), '\0');
  CharToOemBuffA(buffer.data(), converted.data(),
                 static_cast<DWORD>(buffer.size()));
  return std::string(converted.data());
}
