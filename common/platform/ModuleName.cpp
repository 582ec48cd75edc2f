#include "ModuleName.h"

std::string ModuleNameFromPath(std::string_view path, bool fullPath) {
  if (fullPath) return std::string(path);
  const std::size_t separator = path.find_last_of("\\:");
  if (separator == std::string_view::npos) return std::string(path);
  return std::string(path.substr(separator + 1));
}
