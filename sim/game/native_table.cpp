#include "native_table.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <vector>

#include "reference_natives.h"

namespace sim {

namespace {

// A domain's row with its native's facts.
NativeRow joined(const DomainRow& d, std::deque<std::string>& letters) {
  const NativeFacts& facts = facts_of(d.native.native);
  letters.emplace_back(d.native.params != nullptr ? d.native.params : param_letters(facts.types));
  return {facts.hash, facts.name, letters.back(), result_letter(facts.result), d.handler, d.touch};
}

}  // namespace

static const std::vector<NativeRow>& all_rows() {
  static std::deque<std::string> letters;
  static const std::vector<NativeRow> rows = [] {
    std::vector<NativeRow> joined_rows;
    for (NativeRows part : {core_native_rows(),
                            entities_native_rows(),
                            prompt_native_rows(),
                            particles_native_rows(),
                            blips_native_rows(),
                            interiors_native_rows(),
                            scenario_points_native_rows(),
                            peds_native_rows(),
                            speech_native_rows(),
                            anim_scenes_native_rows(),
                            money_native_rows(),
                            tv_native_rows(),
                            clock_native_rows(),
                            text_native_rows(),
                            player_native_rows(),
                            controls_native_rows(),
                            tasks_native_rows(),
                            vehicles_native_rows(),
                            weapons_native_rows(),
                            camera_native_rows(),
                            screen_native_rows(),
                            streaming_native_rows(),
                            environment_native_rows()}) {
      for (size_t n = 0; n < part.count; ++n) joined_rows.push_back(joined(part.rows[n], letters));
    }
    std::sort(joined_rows.begin(), joined_rows.end(),
              [](const NativeRow& a, const NativeRow& b) { return a.hash < b.hash; });
    return joined_rows;
  }();
  return rows;
}

// Calls find their rows through the host's one lookup (native_row), which
// keeps what it found; this is its search of the world's rows.
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

std::string hex_text(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(value));
  return text;
}

// Appended piece by piece: `"(" + x + ...` trips a false -Wrestrict in
// mingw's g++.
std::string vector_text(const std::string& x, const std::string& y, const std::string& z) {
  std::string text = "(";
  text.append(x).append(", ").append(y).append(", ").append(z).append(")");
  return text;
}

const NativeRow* native_rows_begin() { return all_rows().data(); }
size_t native_row_count() { return all_rows().size(); }

}  // namespace sim
