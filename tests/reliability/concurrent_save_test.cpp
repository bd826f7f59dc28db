// Two settings windows saving at the same moment, and an alarm reading meanwhile.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <thread>

#include "alarm_window/alarm_window.h"
#include "alarm_window/layout.h"
#include "fakes/fake_frame.h"
#include "fakes/sandbox.h"
#include "frame/os/file_access.h"
#include "reliability_support.h"
#include "saved_pairs.h"
#include "settings_store/settings_file.h"

namespace tovrel::reliability {
namespace {

SystemFiles files;  // the system's own, which the programs read and save through

namespace fs = std::filesystem;

constexpr int kSaves = 300;  // by each writer

class ConcurrentSaveTest : public testing::Sandbox {
 protected:
  std::string ini() const { return path("SETUP.INI"); }

  // Starts two helpers and lets them go together once both are ready.
  static void start_together(Child& first, Child& second) {
    ASSERT_EQ(first.read_byte(), 'r');
    ASSERT_EQ(second.read_byte(), 'r');
    first.send('g');
    second.send('g');
  }
};

// Every read sees one writer's whole file: both settings from the same save, the file exactly as
// that save writes it, and each writer's saves in the order it made them.
TEST_F(ConcurrentSaveTest, ReadersSeeOneWholeSaveAtATime) {
  Child a({kSaveLoop, ini(), "series", "A", std::to_string(kSaves)});
  Child b({kSaveLoop, ini(), "series", "B", std::to_string(kSaves)});
  ASSERT_NO_FATAL_FAILURE(start_together(a, b));

  std::map<char, int> last_seen{{'A', -1}, {'B', -1}};
  int reads = 0, missing_reads = 0, changes = 0;
  std::string previous;
  bool saved_once = false;
  for (bool running = true; running;) {
    running = !(a.has_ended() && b.has_ended());  // one more read after both have ended
    const FileContent file = files.read_file(ini());
    ++reads;
    if (file.state == FileState::Missing) {
      ASSERT_FALSE(saved_once) << "read " << reads << ": the file went missing after a save";
      ++missing_reads;
      continue;
    }
    ASSERT_EQ(file.state, FileState::Read);
    saved_once = true;
    const Pair pair{find_value(decode_profile(file.bytes), kSettingsSection, kHourKey),
                    find_value(decode_profile(file.bytes), kSettingsSection, kFileKey)};
    const auto origin = origin_of(pair);
    ASSERT_TRUE(origin.has_value())
        << "read " << reads << ": the hour " << pair.hour << " and the file of " << pair.file.size()
        << " bytes are not from one save";
    ASSERT_TRUE(file.bytes == saved_over("", pair))
        << "read " << reads << ": not the whole file of one save but " << describe(file.bytes);
    ASSERT_GE(origin->second, last_seen[origin->first])
        << "read " << reads << ": writer " << origin->first << "'s saves went backwards";
    last_seen[origin->first] = origin->second;
    changes += file.bytes != previous;
    previous = file.bytes;
  }

  EXPECT_EQ(exit_code(a.wait()), 0) << "writer A: " << a.read_rest();
  EXPECT_EQ(exit_code(b.wait()), 0) << "writer B: " << b.read_rest();
  const std::string last = file_bytes(ini());
  EXPECT_TRUE(last == saved_over("", pair_of('A', kSaves - 1)) ||
              last == saved_over("", pair_of('B', kSaves - 1)))
      << "the file ends with one writer's last save, not " << describe(last);
  EXPECT_TRUE(temporary_files(folder()).empty());
  std::cout << "reads " << reads << " (" << missing_reads
            << " before the first save), changes seen " << changes << ", last serials seen A "
            << last_seen['A'] << " B " << last_seen['B'] << "\n";
}

// Each writer counts in a section of its own. A save reads the file, changes its section and
// writes the file back; without the folder lock one writer's save could write back a file read
// before the other's last save and lose it. With the lock both counts end at the last number,
// and no reader ever sees a count go back. One writer saves through a link into the folder, so
// the lock must be the target folder's.
TEST_F(ConcurrentSaveTest, TheFolderLockLosesNoSave) {
  fs::create_directory(path("real"));
  fs::create_symlink("real/SETUP.INI", ini());
  const std::string real = path("real/SETUP.INI");
  Child a({kSaveLoop, ini(), "count", "쓰기 A", std::to_string(kSaves)});
  Child b({kSaveLoop, real, "count", "쓰기 B", std::to_string(kSaves)});
  ASSERT_NO_FATAL_FAILURE(start_together(a, b));

  const auto counts = [](const std::string& bytes) {
    const auto count = [&](std::string_view section) {
      const std::string value = find_value(decode_profile(bytes), section, "횟수");
      return value.empty() ? 0 : std::stoi(value);
    };
    return std::pair{count("쓰기 A"), count("쓰기 B")};
  };
  std::pair<int, int> highest{0, 0};
  int reads = 0;
  for (bool running = true; running;) {
    running = !(a.has_ended() && b.has_ended());
    const FileContent file = files.read_file(real);
    if (file.state != FileState::Read) continue;
    ++reads;
    const auto [count_a, count_b] = counts(file.bytes);
    ASSERT_GE(count_a, highest.first) << "read " << reads << ": a save of writer A was lost";
    ASSERT_GE(count_b, highest.second) << "read " << reads << ": a save of writer B was lost";
    highest = {count_a, count_b};
  }
  EXPECT_EQ(exit_code(a.wait()), 0);
  EXPECT_EQ(exit_code(b.wait()), 0);
  EXPECT_EQ(counts(file_bytes(real)), std::pair(kSaves, kSaves));
  std::cout << "reads " << reads << "\n";
}

// Another process holds the lock of the folder the file is in: a save waits for it no longer
// than kLockPatience, writes nothing meanwhile, and refuses; it goes through when the lock is let
// go during its wait. Also through a link: the lock is the target's folder's.
TEST_F(ConcurrentSaveTest, ASaveWaitsBrieflyForTheFolderLockAndNeverWritesUnderIt) {
  using namespace std::chrono;
  fs::create_directory(path("real"));
  fs::create_symlink("real/SETUP.INI", ini());
  const std::string old = saved_over("", pair_of('A', 0));

  for (const std::string& through : {path("real/SETUP.INI"), ini()}) {
    for (const bool let_go : {false, true}) {
      write("real/SETUP.INI", old);
      const int folder_lock = ::open(path("real").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      ASSERT_EQ(::flock(folder_lock, LOCK_EX), 0);
      const auto start = steady_clock::now();
      Child saver({kSaveLoop, through, "once", "B", "0"});
      if (let_go) {
        std::this_thread::sleep_for(kLockPatience / 4);
        EXPECT_EQ(describe(read("real/SETUP.INI")), describe(old)) << through;
        ::close(folder_lock);
      }
      const int status = exit_code(saver.wait());
      const auto waited = steady_clock::now() - start;
      if (!let_go) ::close(folder_lock);
      const std::string what = through + (let_go ? ", let go during the wait" : ", held");
      EXPECT_EQ(status, let_go ? 0 : 3) << what << ": 0 saved, 3 refused for the lock";
      EXPECT_EQ(describe(read("real/SETUP.INI")),
                describe(let_go ? saved_over(old, pair_of('B', 0)) : old))
          << what;
      if (!let_go) {
        EXPECT_GE(waited, kLockPatience) << what;
        EXPECT_LT(waited, kLockPatience + seconds(2)) << what;
      }
    }
  }
}

// The alarm shows the hour setting before it takes the file setting. A save that lands in between
// must not give it the hour of one save and the file of another: here the settings window saves
// at exactly that moment, while the hour is shown.
TEST_F(ConcurrentSaveTest, TheAlarmTakesBothSettingsFromOneSave) {
  write("SETUP.INI", saved_over("", pair_of('A', 0)));
  testing::FakeFrame frame;
  frame.folder = folder();
  frame.time = {7, 0, 0};
  testing::FakeWindow controls{alarm_window::layout};
  alarm_window::AlarmWindow alarm{frame, controls};
  bool saved = false;
  controls.on_change = [&](std::size_t control) {
    if (control == alarm_window::Text4 && !saved) {
      saved = write_settings(files, ini(), kSettingsSection, pair_of('B', 0).settings()) ==
              WriteOutcome::Saved;
    }
  };
  frame.run([&] { alarm.load(); });
  ASSERT_TRUE(saved);

  constexpr std::string_view kOpen = "explorer.exe ";
  const Pair seen{controls.text(alarm_window::Text4),
                  controls.text(alarm_window::Text5).substr(kOpen.size())};
  const auto origin = origin_of(seen);
  EXPECT_TRUE(origin.has_value()) << "the alarm took hour " << seen.hour << " with the file "
                                  << seen.file.substr(0, 16) << "...: from two saves";
  if (seen.hour == "7") {
    EXPECT_TRUE(frame.launches.empty() ||
                frame.launches.front() == std::string(kOpen) + pair_of('A', 0).file)
        << "at hour 7 it opened writer B's file, saved for hour 19";
  }
}

}  // namespace
}  // namespace tovrel::reliability
