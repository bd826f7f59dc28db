// Times reading and saving settings in large files, for scripts/benchmark; not a test.
//
//   read_benchmark FOLDER CASE REPEATS
//   read_benchmark FOLDER mixed-pairs STARTUPS
//
// Makes the case's file in the folder, then reads the file setting and saves a new pair REPEATS
// times each, and prints one line: the case, the file's size, the median milliseconds of a read
// and of a save, and the process's peak resident set in kilobytes after the reads and after the
// saves as well. One case per process, so that the peaks are the case's own.
//
// mixed-pairs runs the alarm's start-up check STARTUPS times while save_loop saves two pairs in
// turn without pause, and counts the start-ups that took the hour of one save and the file of
// another.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "alarm_window/alarm_window.h"
#include "alarm_window/layout.h"
#include "fakes/fake_frame.h"
#include "frame/os/file_access.h"
#include "saved_pairs.h"
#include "settings_store/settings_file.h"

namespace {

tovrel::SystemFiles files;  // the system's own, which the programs read and save through

using namespace tovrel;
using namespace tovrel::reliability;

void write_lines(std::ofstream& file, const std::string& line, std::size_t count) {
  std::string block;
  const std::size_t per_block = std::max<std::size_t>(1, (1 << 20) / line.size());
  for (std::size_t i = 0; i < per_block; ++i) block += line;
  for (std::size_t left = count; left > 0;) {
    const std::size_t lines = std::min(left, per_block);
    file.write(block.data(), static_cast<std::streamsize>(lines * line.size()));
    left -= lines;
  }
}

bool make(const std::string& path, const std::string& name) {
  const std::string settings = saved_over("", pair_of('A', 0));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (name == "small") {
    file << settings;
  } else if (name == "50mb-settings-last") {
    write_lines(file, std::string(1000, 'x') + "\r\n", 52'400);
    file << settings;
  } else if (name == "million-lines") {
    write_lines(file, "[s]\r\nk=v\r\n", 500'000);
    file << settings;
  } else if (name == "near-size-limit") {  // the largest file the program reads: 128 MiB
    write_lines(file, std::string(1000, 'x') + "\r\n", 133'900);
    file << settings;
  } else if (name == "10mb-line") {
    write_lines(file, std::string(1000, 'x'), 10'486);
    file << "\r\n" << settings;
  } else {
    return false;
  }
  return true;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int count_mixed_pairs(const std::string& folder, int startups) {
  const std::string path = folder + "/SETUP.INI";
  write_settings(files, path, kSettingsSection, pair_of('A', 0).settings());
  const pid_t saver = ::fork();
  if (saver == 0) {
    ::dup2(::open("/dev/null", O_WRONLY), STDOUT_FILENO);
    ::execl(TOVREL_SAVE_LOOP, TOVREL_SAVE_LOOP, path.c_str(), "alternate", nullptr);
    ::_exit(127);
  }
  constexpr std::string_view kOpen = "explorer.exe ";
  int mixed = 0;
  for (int i = 0; i < startups; ++i) {
    testing::FakeFrame frame;
    frame.folder = folder;
    frame.time = {3, 0, 0};  // neither pair's hour: nothing is opened
    testing::FakeWindow controls{alarm_window::layout};
    alarm_window::AlarmWindow alarm{frame, controls};
    frame.run([&] { alarm.load(); });
    const Pair seen{controls.text(alarm_window::Text4),
                    controls.text(alarm_window::Text5).substr(kOpen.size())};
    mixed += !origin_of(seen).has_value();
  }
  ::kill(saver, SIGKILL);
  ::waitpid(saver, nullptr, 0);
  std::printf("mixed-pairs startups=%d mixed=%d\n", startups, mixed);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fputs("usage: read_benchmark FOLDER CASE REPEATS | FOLDER mixed-pairs STARTUPS\n", stderr);
    return 64;
  }
  if (std::string_view(argv[2]) == "mixed-pairs")
    return count_mixed_pairs(argv[1], std::atoi(argv[3]));
  const std::string path = std::string(argv[1]) + "/SETUP.INI";
  const std::string name = argv[2];
  const int repeats = std::max(1, std::atoi(argv[3]));
  if (!make(path, name)) {
    std::fprintf(stderr, "no case %s\n", name.c_str());
    return 64;
  }

  using Clock = std::chrono::steady_clock;
  const auto ms_since = [](Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  const auto peak_kb = [] {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
  };
  std::vector<double> reads, saves;
  for (int i = 0; i < repeats; ++i) {
    const auto start = Clock::now();
    const std::string file = SettingsSnapshot(files, path).value(kSettingsSection, kFileKey);
    reads.push_back(ms_since(start));
    if (file.empty()) {
      std::fputs("the file setting was not read\n", stderr);
      return 1;
    }
  }
  const long read_peak_kb = peak_kb();
  for (int i = 0; i < repeats; ++i) {
    const Pair pair = pair_of(i % 2 ? 'A' : 'B', 0);  // a different pair each time: a real write
    const auto start = Clock::now();
    const WriteOutcome outcome = write_settings(files, path, kSettingsSection, pair.settings());
    saves.push_back(ms_since(start));
    if (outcome != WriteOutcome::Saved) {
      std::fputs("a save failed\n", stderr);
      return 1;
    }
  }
  std::printf("%s size_bytes=%ju read_ms=%.2f save_ms=%.2f read_peak_rss_kb=%ld peak_rss_kb=%ld\n",
              name.c_str(), static_cast<std::uintmax_t>(std::filesystem::file_size(path)),
              median(reads), median(saves), read_peak_kb, peak_kb());
  std::filesystem::remove(path);
  return 0;
}
