#include "native_table.h"

#include <algorithm>
#include <vector>

namespace sim {

static const std::vector<NativeRow>& all_rows() {
  static const std::vector<NativeRow> rows = [] {
    std::vector<NativeRow> joined;
    for (NativeRows part :
         {core_native_rows(), entities_native_rows(), prompt_native_rows(), particles_native_rows(),
          blips_native_rows(), interiors_native_rows(), scenario_points_native_rows(),
          peds_native_rows(), speech_native_rows(), anim_scenes_native_rows(), money_native_rows(),
          tv_native_rows(), clock_native_rows()}) {
      joined.insert(joined.end(), part.rows, part.rows + part.count);
    }
    std::sort(joined.begin(), joined.end(),
              [](const NativeRow& a, const NativeRow& b) { return a.hash < b.hash; });
    return joined;
  }();
  return rows;
}

const NativeRow* find_native(uint64_t hash) {
  const auto& rows = all_rows();
  auto it = std::lower_bound(rows.begin(), rows.end(), hash,
                             [](const NativeRow& r, uint64_t h) { return r.hash < h; });
  return it != rows.end() && it->hash == hash ? &*it : nullptr;
}

const NativeRow* find_native_named(const std::string& name) {
  for (const NativeRow& r : all_rows()) {
    if (name == r.name) return &r;
  }
  return nullptr;
}

const NativeRow* native_rows_begin() { return all_rows().data(); }
size_t native_row_count() { return all_rows().size(); }

}  // namespace sim
