// The settings the fault tests save: pairs whose two values tell which writer and which of its
// saves they came from, so that a pair mixed from two saves is recognised.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fakes/expected_texts.h"
#include "settings_store/profile_text.h"
#include "settings_store/settings_names.h"

namespace tovrel::reliability {

struct Pair {
  std::string hour;
  std::string file;

  std::array<Setting, 2> settings() const {
    return {Setting{kHourKey, hour}, Setting{kFileKey, file}};
  }
  bool operator==(const Pair&) const = default;
};

/// Writer 'A' saves hour 7, writer 'B' hour 19. The file names the writer and the serial of the
/// save and is padded with Hangul to about 4 KB, so that a save is more than one small write.
inline Pair pair_of(char writer, int serial) {
  Pair pair{writer == 'A' ? "7" : "19",
            "/음악/" + std::string(1, writer) + "-" + std::to_string(serial) + "/"};
  while (pair.file.size() < 4096) pair.file += "아침에 듣는 노래 ";
  pair.file += writer;
  pair.file += ".mp3";
  return pair;
}

/// The writer and serial of a pair one of the writers saved; nothing for any other pair,
/// including a mix of two saves.
inline std::optional<std::pair<char, int>> origin_of(const Pair& pair) {
  constexpr std::string_view kPrefix = "/음악/";
  const std::string_view file = pair.file;
  if (!file.starts_with(kPrefix) || file.size() < kPrefix.size() + 3) return std::nullopt;
  const char writer = file[kPrefix.size()];
  if ((writer != 'A' && writer != 'B') || file[kPrefix.size() + 1] != '-') return std::nullopt;
  int serial = 0;
  std::size_t i = kPrefix.size() + 2;
  for (; i < file.size() && file[i] >= '0' && file[i] <= '9' && i < kPrefix.size() + 9; ++i) {
    serial = serial * 10 + (file[i] - '0');
  }
  if (pair_of(writer, serial) != pair) return std::nullopt;
  return std::pair{writer, serial};
}

using testing::cp949;

/// A section that no save touches, of at least the given size, in code page 949.
inline std::string unrelated_section(std::size_t bytes) {
  std::string text = cp949("[기록]\r\n");
  for (int line = 0; text.size() < bytes; ++line) {
    text += "line" + std::to_string(line) + "=" + std::string(60, 'a' + line % 26) + "\r\n";
  }
  return text;
}

/// The file a save of the pair makes of the given file.
inline std::string saved_over(std::string_view file, const Pair& pair) {
  return with_values(file, kSettingsSection, pair.settings()).value();
}

}  // namespace tovrel::reliability
