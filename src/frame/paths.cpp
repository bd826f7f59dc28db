#include "frame/paths.h"

namespace tovrel {

std::string join_path(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += kPathSeparator;
  path += name;
  return path;
}

std::string folder_of(std::string_view file_path) {
  const auto last = file_path.find_last_of(kPathSeparator);
  if (last == std::string_view::npos) return ".";
#ifdef _WIN32
  // "C:\Tovrel.exe" lives in "C:\"
  if (last == 2 && file_path[1] == ':') return std::string(file_path.substr(0, 3));
#endif
  if (last == 0) return std::string(1, kPathSeparator);
  return std::string(file_path.substr(0, last));
}

}  // namespace tovrel
