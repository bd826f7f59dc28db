#include "frame/layout.h"

#include <algorithm>
#include <numeric>

namespace tovrel {

std::vector<std::size_t> rows_in_tab_order(const WindowLayout& layout) {
  std::vector<std::size_t> rows(layout.controls.size());
  std::iota(rows.begin(), rows.end(), std::size_t{0});
  std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
    return layout.controls[a].tab_index < layout.controls[b].tab_index;
  });
  return rows;
}

}  // namespace tovrel
