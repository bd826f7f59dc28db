#include "settings_store/settings_file.h"

namespace tovrel {

SettingsSnapshot::SettingsSnapshot(const FileSystem& files, const SettingsFile& file) {
  FileContent content = files.read_file(file.path);
  if (content.state == FileState::Missing && !file.defaults.empty()) {
    content = files.read_file(file.defaults);
  }
  if (content.state == FileState::Read) text_ = decode_profile(content.bytes);
}

std::string SettingsSnapshot::value(std::string_view section, std::string_view key) const {
  return find_value(text_, section, key);
}

WriteOutcome write_settings(FileSystem& files, const SettingsFile& file, std::string_view section,
                            std::span<const Setting> settings) {
  // A user's own file, which has defaults, may be the first in its folder.
  if (!file.defaults.empty() && !files.make_folders_for(file.path)) {
    return WriteOutcome::FileNotWritable;
  }
  const std::optional<std::string> target = files.resolve_links(file.path);
  if (!target) return WriteOutcome::FileNotWritable;
  const FolderLock lock = files.lock_folder(*target);
  if (lock.state == LockState::Busy) return WriteOutcome::LockedByAnotherSaver;
  if (lock.state == LockState::Held) files.remove_abandoned_replacements(*target);

  const FileContent old = files.read_file(*target);
  if (old.state == FileState::Unreadable) return WriteOutcome::FileNotWritable;
  const std::optional<std::string> bytes = with_values(old.bytes, section, settings);
  if (!bytes) return WriteOutcome::ValueNotStorable;
  if (old.state == FileState::Read && *bytes == old.bytes) return WriteOutcome::Saved;
  if (old.state == FileState::Read && !files.is_writable(*target)) {
    return WriteOutcome::FileNotWritable;
  }
  const Replacement replaced = files.replace_file(*target, *bytes);
  if (replaced == Replacement::Done) return WriteOutcome::Saved;
  // Where no new file can take the old one's place, a file the user may write is written in place.
  const bool written_in_place = replaced == Replacement::FolderRefuses &&
                                old.state == FileState::Read &&
                                files.overwrite_file(*target, old.bytes, *bytes);
  return written_in_place ? WriteOutcome::Saved : WriteOutcome::FileNotWritable;
}

}  // namespace tovrel
