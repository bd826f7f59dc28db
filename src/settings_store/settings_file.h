// Reading and writing the settings file.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "settings_store/profile_text.h"

namespace tovrel {

/// A setting's value, read from the file afresh; empty when the file, the section or the key is
/// missing, or when the file cannot be read.
std::string read_setting(const std::string& path, std::string_view section, std::string_view key);

enum class WriteOutcome {
  Saved,
  ValueNotStorable,  // a name or value the file cannot hold (see with_values)
  FileNotWritable,   // the system refused, or the old file could not be read in full
};

/// Sets the keys of one section in one replacement of the file, creating it as needed. The file
/// on disk is always either the old one or the new one, whole; on any failure it is unchanged.
/// A symbolic link is followed: the file it points to is replaced.
WriteOutcome write_settings(const std::string& path, std::string_view section,
                            std::span<const Setting> settings);

}  // namespace tovrel
