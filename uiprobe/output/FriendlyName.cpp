#include "FriendlyName.h"

#include "AccessibilityNames.h"
#include "CodePage.h"

namespace {

// Characters that a file name cannot hold, removed in this order.
constexpr std::string_view kForbidden = "&:\\/*?\"<>|";

constexpr int32_t kModulePartLength = 15;
constexpr int32_t kNamePartLength = 30;
constexpr int32_t kRolePartLength = 15;
constexpr int32_t kFriendlyNameLength = 60;
// A name this short is kept whatever else the object offers.
constexpr size_t kShortNameLength = 5;
constexpr std::string_view kEllipsis = "...";

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsControl(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 31;
}

void RemoveAll(std::string& text, char c) { std::erase(text, c); }

std::string Trimmed(std::string_view text) {
  size_t start = 0;
  size_t end = text.size();
  while (start < end && IsBlankOrControl(text[start])) ++start;
  while (end > start && IsBlankOrControl(text[end - 1])) --end;
  return std::string(text.substr(start, end - start));
}

}  // namespace

std::string MakeFileNameSafe(std::string_view text) {
  std::string safe(text);
  for (;;) {
    const size_t pair = safe.find("  ");
    if (pair == std::string::npos) break;
    safe.erase(pair, 1);
  }
  for (char& c : safe) {
    if (c == ' ') c = '_';
  }
  for (char c : kForbidden) RemoveAll(safe, c);
  std::erase_if(safe, IsControl);
  return safe;
}

std::string TruncateAtSpace(std::string_view text, int32_t length) {
  if (length < 0) length = 0;
  const auto limit = static_cast<size_t>(length);
  if (text.size() <= limit) return std::string(text);
  const std::string_view cut = text.substr(0, limit);
  for (size_t position = limit; position >= 1 && position >= limit / 2; --position) {
    if (cut[position - 1] == ' ') return Trimmed(cut.substr(0, position - 1));
  }
  return std::string(cut);
}

std::string FileTitle(std::string_view path) {
  const size_t folderEnd = path.find_last_of("\\/:");
  std::string_view name = folderEnd == std::string_view::npos ? path : path.substr(folderEnd + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

std::wstring BuildFriendlyName(std::wstring_view module, std::wstring_view name,
                               std::wstring_view value, std::wstring_view text,
                               std::wstring_view description, std::wstring_view className,
                               int32_t roleId) {
  const std::string modulePart =
      TruncateAtSpace(MakeFileNameSafe(FileTitle(WideToAnsi(module))), kModulePartLength);

  std::string namePart = WideToAnsi(name);
  for (std::wstring_view candidate : {value, text, description, className}) {
    std::string offered = WideToAnsi(candidate);
    if (namePart.size() > kShortNameLength && namePart.size() < offered.size()) {
      namePart = std::move(offered);
    }
  }
  namePart = MakeFileNameSafe(namePart);
  const std::string truncated = TruncateAtSpace(namePart, kNamePartLength);
  if (truncated != namePart) namePart = truncated + std::string(kEllipsis);

  std::wstring role = RoleToName(roleId);
  if (role.empty()) role = className;
  const std::string rolePart =
      TruncateAtSpace(MakeFileNameSafe(WideToAnsi(role)), kRolePartLength);

  std::string joined = namePart;
  if (!modulePart.empty()) joined += "_" + modulePart;
  if (!rolePart.empty()) joined += "_" + rolePart;
  return AnsiToWide(TruncateAtSpace(joined, kFriendlyNameLength));
}
