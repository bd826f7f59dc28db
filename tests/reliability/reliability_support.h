// What the fault tests share: helper processes, pauses, and a picture of a folder's contents.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "settings_store/settings_file.h"

namespace tovrel {
/// Failure messages name the outcome.
void PrintTo(WriteOutcome outcome, std::ostream* out);
}  // namespace tovrel

namespace tovrel::reliability {

/// The saving helper and the fault library, where the build put them.
inline const std::string kSaveLoop = TOVREL_SAVE_LOOP;
inline const std::string kFaultPreload = TOVREL_FAULT_PRELOAD;

/// A child process with a pipe to its standard input and one from its standard output.
class Child {
 public:
  /// Starts the program with the arguments and this process's environment plus extra entries.
  explicit Child(const std::vector<std::string>& argv,
                 const std::vector<std::string>& extra_environment = {});
  ~Child();  // kills and reaps a child still running
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }

  /// The next byte the child writes; -1 once it has closed its output.
  int read_byte();
  /// Everything the child writes until it closes its output.
  std::string read_rest();
  void send(char byte);
  void kill(int signal);
  /// Waits for the child to end and returns its wait status.
  int wait();
  /// Whether the child has ended, without waiting; keeps the status for wait().
  bool has_ended();

 private:
  pid_t pid_ = -1;
  int input_ = -1;   // the child's standard input
  int output_ = -1;  // the child's standard output
  bool reaped_ = false;
  int status_ = 0;
};

/// The exit status of a child that ended normally, or -signal for one a signal ended.
int exit_code(int wait_status);

/// Pauses for a short while; busy-waits for pauses too short for the scheduler.
void pause_for(std::chrono::nanoseconds duration);

/// Every entry under a folder, links not followed, as name -> type, permissions, owner, and a
/// link's target or a file's bytes (a digest for files above a megabyte).
std::map<std::string, std::string> snapshot(const std::string& folder);

/// The temporary files a save leaves beside SETUP.INI in a folder (".SETUP.INI.XXXXXX").
std::vector<std::string> temporary_files(const std::string& folder);

/// A settings file in a line for a failure message: its size, a digest of its bytes (equal
/// descriptions are equal files), and whose save its two settings are from (or the start of each
/// when they are from none).
std::string describe(const std::string& file);

/// A file's bytes; empty when it cannot be read.
std::string file_bytes(const std::string& path);

/// Writes bytes to a file, replacing it.
void write_file(const std::string& path, const std::string& bytes);

}  // namespace tovrel::reliability
