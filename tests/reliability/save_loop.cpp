// Saves settings the way the settings window does, for the fault tests to kill, starve and race.
//
//   save_loop FILE alternate        saves writer A's and writer B's first pair in turn, forever
//   save_loop FILE once W SERIAL    saves writer W's pair once; the exit status tells the outcome
//   save_loop FILE series W N       saves writer W's pairs 0 to N-1
//   save_loop FILE count SECTION N  sets the key 횟수 of the section to 1, 2, ... N
//   save_loop FILE tally SECTION N  adds the keys 1, 2, ... N to the section, one a save, so that
//                                   a save another saver lost stays lost
//   save_loop FILE hold             holds the folder's lock, as a save does, until it reads a byte
//
// Every mode but "once" writes 'r' to standard output when it is ready and '.' after each save;
// "series", "count" and "tally" then wait for a byte on standard input before their first save, so
// that two of them start together. A save that fails writes 'F' and ends with status 2. It builds
// for Windows too, where paths and sections are given in ASCII.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "frame/os/file_access.h"
#include "saved_pairs.h"
#include "settings_store/settings_file.h"

namespace {

tovrel::SystemFiles files;  // the system's own, which the programs read and save through

using tovrel::WriteOutcome;
using tovrel::reliability::pair_of;

int status_of(WriteOutcome outcome) {
  switch (outcome) {
    case WriteOutcome::Saved:
      return 0;
    case WriteOutcome::ValueNotStorable:
      return 1;
    case WriteOutcome::FileNotWritable:
      return 2;
    case WriteOutcome::LockedByAnotherSaver:
      return 3;
  }
  return 4;
}

void say(char c) {
  while (::write(STDOUT_FILENO, &c, 1) < 0 && errno == EINTR) {
  }
}

void wait_for_go() {
  char go = 0;
  while (::read(STDIN_FILENO, &go, 1) < 0 && errno == EINTR) {
  }
}

// Ends the process at the first save that fails.
void save(const std::string& file, std::string_view section,
          std::span<const tovrel::Setting> settings) {
  const WriteOutcome outcome = tovrel::write_settings(files, file, section, settings);
  if (outcome != WriteOutcome::Saved) {
    say('F');
    std::exit(2);
  }
  say('.');
}

int usage() {
  std::fputs(
      "usage: save_loop FILE alternate | once W SERIAL | series W N | count SECTION N | "
      "tally SECTION N | hold\n",
      stderr);
  return 64;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string file = argv[1];
  const std::string_view mode = argv[2];

  if (mode == "alternate" && argc == 3) {
    // Start with the pair the file does not hold, so that every save changes it.
    const bool holds_a =
        tovrel::SettingsSnapshot(files, file).value(tovrel::kSettingsSection, tovrel::kHourKey) ==
        "7";
    const auto a = pair_of('A', 0), b = pair_of('B', 0);
    say('r');
    for (bool next_a = !holds_a;; next_a = !next_a) {
      save(file, tovrel::kSettingsSection, (next_a ? a : b).settings());
    }
  }
  if (mode == "once" && argc == 5) {
    const auto pair = pair_of(argv[3][0], std::atoi(argv[4]));
    return status_of(
        tovrel::write_settings(files, file, tovrel::kSettingsSection, pair.settings()));
  }
  if (mode == "series" && argc == 5) {
    const char writer = argv[3][0];
    const int saves = std::atoi(argv[4]);
    say('r');
    wait_for_go();
    for (int serial = 0; serial < saves; ++serial) {
      save(file, tovrel::kSettingsSection, pair_of(writer, serial).settings());
    }
    return 0;
  }
  if ((mode == "count" || mode == "tally") && argc == 5) {
    const std::string section = argv[3];
    const int saves = std::atoi(argv[4]);
    say('r');
    wait_for_go();
    for (int count = 1; count <= saves; ++count) {
      const std::string value = std::to_string(count);
      const tovrel::Setting setting{mode == "count" ? "횟수" : value, value};
      save(file, section, std::span(&setting, 1));
    }
    return 0;
  }
  if (mode == "hold" && argc == 3) {
    const tovrel::FolderLock lock = files.lock_folder(file);
    say(lock.state == tovrel::LockState::Held ? 'r' : 'F');
    wait_for_go();
    return 0;
  }
  return usage();
}
