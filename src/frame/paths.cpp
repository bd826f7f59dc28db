#include "frame/paths.h"

namespace tovrel {

std::string join_path(std::string_view folder, std::string_view name, char separator) {
  std::string path(folder);
  path += separator;
  path += name;
  return path;
}

std::string folder_of(std::string_view file_path, char separator) {
  const auto last = file_path.find_last_of(separator);
  if (last == std::string_view::npos) return ".";
  // "C:\Tovrel.exe" lives in "C:\"
  const bool drive_root = separator == '\\' && last == 2 && file_path[1] == ':';
  if (drive_root) return std::string(file_path.substr(0, 3));
  if (last == 0) return std::string(1, separator);
  return std::string(file_path.substr(0, last));
}

}  // namespace tovrel
