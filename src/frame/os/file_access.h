// The system's own file access, which the settings file is read and saved through. Declared once,
// defined once per system, in posix/ and win32/.
#pragma once

#include "settings_store/file_system.h"

namespace tovrel {

class SystemFiles final : public FileSystem {
 public:
  FileContent read_file(const std::string& path) const override;
  std::optional<std::string> resolve_links(const std::string& path) const override;
  bool make_folders_for(const std::string& file_path) override;
  bool is_writable(const std::string& path) const override;
  void remove_abandoned_replacements(const std::string& path) override;
  Replacement replace_file(const std::string& path, std::string_view bytes) override;
  bool overwrite_file(const std::string& path, std::string_view old_bytes,
                      std::string_view bytes) override;
  FolderLock lock_folder(const std::string& file_path) override;
};

}  // namespace tovrel
