// A settings window killed at any moment of a save leaves the old file or the new one, whole.
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <random>

#include "fakes/sandbox.h"
#include "frame/os/file_access.h"
#include "reliability_support.h"
#include "saved_pairs.h"
#include "settings_store/settings_file.h"

namespace tovrel::reliability {
namespace {

SystemFiles files;  // the system's own, which the programs read and save through

using namespace std::chrono;

constexpr int kRounds = 300;

unsigned seed() {
  if (const char* fixed = std::getenv("TOVREL_SEED"))
    return static_cast<unsigned>(std::strtoul(fixed, nullptr, 10));
  return std::random_device{}();
}

class KilledSaveTest : public testing::Sandbox {
 protected:
  std::string ini() const { return path("SETUP.INI"); }
  Pair read_pair() const {
    const SettingsSnapshot settings(files, ini());
    return {settings.value(kSettingsSection, kHourKey), settings.value(kSettingsSection, kFileKey)};
  }
};

// Each round starts the helper saving A and B in turn, lets it finish none, one or two saves,
// then kills it after a random pause from a microsecond to a few saves' time. The pauses are
// spread evenly on a log scale, so kills land in every step of a save: reading, writing the
// temporary file, fsync, rename, the folder's fsync.
//
// A kill between creating the temporary file and renaming it leaves that file behind. The next
// save removes it while it holds the folder's lock, so at most one is ever there, and none once a
// save has run to its end.
TEST_F(KilledSaveTest, EveryKillLeavesTheOldOrTheNewFileWhole) {
  const std::string base = unrelated_section(256 * 1024);
  const std::string file_a = saved_over(base, pair_of('A', 0));
  const std::string file_b = saved_over(file_a, pair_of('B', 0));
  ASSERT_EQ(saved_over(file_b, pair_of('A', 0)), file_a) << "the two files alternate";
  write("SETUP.INI", file_a);
  ::chmod(ini().c_str(), 0640);

  const unsigned random_seed = seed();
  std::mt19937 random(random_seed);
  std::cout << "seed " << random_seed << " (TOVREL_SEED=" << random_seed
            << " repeats the pauses)\n";

  // How long one save takes here, from the first round: the pauses reach a few times that.
  double save_us = 0;
  int rounds_changed = 0, saves_completed = 0, kills = 0;
  std::size_t temporaries_left = 0;
  int rounds_leaving_temporary = 0;
  double shortest_us = 1e9, longest_us = 0;

  for (int round = 0; round < kRounds; ++round) {
    const std::string before = read("SETUP.INI");
    Child child({kSaveLoop, ini(), "alternate"});
    ASSERT_EQ(child.read_byte(), 'r') << "round " << round << ": the helper did not start";

    const int saves_first = round == 0 ? 5 : round % 3;
    auto last = steady_clock::now();
    for (int i = 0; i < saves_first; ++i) {
      ASSERT_EQ(child.read_byte(), '.') << "round " << round << ": a save failed";
      const auto now = steady_clock::now();
      if (round == 0 && i > 0)
        save_us += duration<double, std::micro>(now - last).count() / (saves_first - 1);
      last = now;
    }
    const double reach_us = std::max(3 * save_us, 1000.0);
    const double pause_us =
        std::exp(std::uniform_real_distribution<double>(0, std::log(reach_us))(random));
    shortest_us = std::min(shortest_us, pause_us);
    longest_us = std::max(longest_us, pause_us);
    pause_for(duration_cast<nanoseconds>(duration<double, std::micro>(pause_us)));
    child.kill(SIGKILL);
    const int status = child.wait();
    const std::string said = child.read_rest();
    ++kills;

    ASSERT_EQ(exit_code(status), -SIGKILL)
        << "round " << round << ": the helper ended by itself: " << said;
    ASSERT_EQ(said.find('F'), std::string::npos)
        << "round " << round << ": a save after earlier kills failed";
    saves_completed += saves_first + static_cast<int>(std::count(said.begin(), said.end(), '.'));

    const std::string after = read("SETUP.INI");
    ASSERT_TRUE(after == file_a || after == file_b)
        << "round " << round << ", killed after " << pause_us << " us: SETUP.INI is "
        << after.size() << " bytes, neither whole file (" << file_a.size() << " or "
        << file_b.size() << ")";
    const Pair pair = read_pair();
    ASSERT_TRUE(pair == (after == file_a ? pair_of('A', 0) : pair_of('B', 0)))
        << "round " << round << ": read back " << describe(after);
    struct stat status_after {};
    ASSERT_EQ(::stat(ini().c_str(), &status_after), 0);
    ASSERT_EQ(status_after.st_mode & 07777, 0640u) << "round " << round << ": permissions changed";
    rounds_changed += after != before;

    const std::size_t temporaries = temporary_files(folder()).size();
    ASSERT_LE(temporaries, 1u) << "round " << round << ": abandoned files pile up";
    rounds_leaving_temporary += temporaries > 0;
    temporaries_left = temporaries;
  }

  // A save that runs to its end removes nothing it should not and leaves nothing of its own.
  const Pair next = read_pair() == pair_of('A', 0) ? pair_of('B', 0) : pair_of('A', 0);
  ASSERT_EQ(write_settings(files, ini(), kSettingsSection, next.settings()), WriteOutcome::Saved);
  EXPECT_EQ(read_pair(), next);
  EXPECT_EQ(temporary_files(folder()).size(), 0u) << "a completed save left a file";

  std::cout << "rounds " << kRounds << ", kills " << kills << ", pauses " << shortest_us
            << " us to " << longest_us << " us (one save ~" << save_us << " us)\n"
            << "saves completed " << saves_completed << ", rounds ending with the other file "
            << rounds_changed << ", temporary files left " << temporaries_left << " (by "
            << rounds_leaving_temporary << " rounds)\n";
  RecordProperty("rounds", kRounds);
  RecordProperty("kills", kills);
  RecordProperty("saves_completed", saves_completed);
  RecordProperty("temporary_files_left", static_cast<int>(temporaries_left));
}

}  // namespace
}  // namespace tovrel::reliability
