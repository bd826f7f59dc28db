// Reading and writing the settings file.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "settings_store/file_system.h"
#include "settings_store/profile_text.h"

namespace tovrel {

/// Where the settings are: the file read and saved, and, where the program was installed for all
/// users, the file of defaults beside the executables, read while the user has no file of their
/// own.
struct SettingsFile {
  /// A file with no defaults: a path stands for one.
  SettingsFile(std::string file_path, std::string defaults_path = {})
      : path(std::move(file_path)), defaults(std::move(defaults_path)) {}

  std::string path;
  std::string defaults;  // empty where there are none
};

/// The settings file as it is at one moment: values taken from one snapshot belong to the same
/// save. Each snapshot reads the file afresh.
class SettingsSnapshot {
 public:
  /// Reads the settings file, or its defaults where it does not exist.
  SettingsSnapshot(const FileSystem& files, const SettingsFile& file);

  /// A setting's value; empty when the file, the section or the key is missing, or when the file
  /// cannot be read.
  std::string value(std::string_view section, std::string_view key) const;

 private:
  std::string text_;  // decoded once; empty when the file is missing or cannot be read
};

enum class WriteOutcome {
  Saved,
  ValueNotStorable,      // a name or value the file cannot hold (see with_values)
  FileNotWritable,       // the system refused, or the old file could not be read in full
  LockedByAnotherSaver,  // another saver kept the folder's lock for all of kLockPatience
};

/// Sets the keys of one section in one replacement of the file, creating it, and its folder, as
/// needed. The file on disk is always either the old one or the new one, whole; on any failure it
/// is unchanged.
/// A symbolic link is followed: the file it points to is replaced.
///
/// In a folder where no new file can be made (or none take the old one's place) an existing file
/// that may be written is written in place instead, as Windows' own profile functions do there:
/// see FileSystem::overwrite_file for what an end in the middle of that write can leave.
WriteOutcome write_settings(FileSystem& files, const SettingsFile& file, std::string_view section,
                            std::span<const Setting> settings);

}  // namespace tovrel
