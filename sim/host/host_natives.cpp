#include "host_natives.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "native_row.h"
#include "native_words.h"
#include "reference_natives.h"

namespace sim {

namespace {

// What the host does itself for those of its natives it does not send on:
// centre and shadow style the next text drawn, as the game's own text style
// natives do (text.cpp keeps the style). The rest of each row is the host's
// table (reference/host-natives.tsv).
struct HostAnswer {
  HostNativeName native;
  NativeHandler handler;
};
const HostAnswer answers[] = {
    {HostNativeName::SET_TEXT_DROPSHADOW,
     [](World& w, NativeCall& c) { w.text.next.shadow = c.i(0) > 0; }},
    {HostNativeName::SET_TEXT_CENTRE,
     [](World& w, NativeCall& c) { w.text.next.centred = c.b(0); }},
};

const std::vector<HostNative>& natives() {
  static std::deque<std::string> letters;
  static const std::vector<HostNative> built = [] {
    std::vector<HostNative> rows;
    for (const HostNativeFacts& f : host_native_facts()) {
      NativeHandler handler = nullptr;
      for (const HostAnswer& a : answers) {
        if (&facts_of(a.native) == &f) handler = a.handler;
      }
      letters.push_back(param_letters(f.types));
      // None of them returns a value.
      rows.push_back({{f.hash, f.name, letters.back(), 'v', handler}, f.sent_to});
    }
    std::sort(rows.begin(), rows.end(),
              [](const HostNative& a, const HostNative& b) { return a.row.hash < b.row.hash; });
    return rows;
  }();
  return built;
}

const HostNative* find(const NativeRow* row) {
  for (const HostNative& n : natives()) {
    if (&n.row == row) return &n;
  }
  return nullptr;
}

}  // namespace

const NativeRow* host_native_row(uint64_t hash) {
  for (const HostNative& n : natives()) {
    if (n.row.hash == hash) return &n.row;
  }
  return nullptr;
}

void answer_host_native(World& w, NativeCall& call, bool sound) {
  const HostNative* n = find(call.row);
  const FoundRow sent_to = n != nullptr && n->sent_to != 0 ? native_row(n->sent_to) : FoundRow{};
  const NativeRow* replacement = sent_to.from == RowSource::world ? sent_to.row : nullptr;
  if (replacement == nullptr) {
    w.perform_outside(call, sound);
    return;
  }
  call.via = call.row;
  call.row = replacement;
  call.hash = replacement->hash;
  w.perform(call, sound);
}

std::span<const HostNative> host_natives() { return natives(); }

}  // namespace sim
