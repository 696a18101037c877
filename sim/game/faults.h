#pragma once
// A hostile game, switched on with a seed. Each frame the world may start a
// fault, and each fault lasts some frames before the game behaves again; the
// same seed gives the same faults in the same frames. A test, a soak or a
// scenario switches the mode on, may force a kind, and may lift every fault
// at once to see that the plug-in goes on.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "native_table.h"
#include "vec.h"

namespace sim {

class World;

enum class Fault {
#define SIM_FAULT(kind, name, lasts, what) kind,
#include "faults.def"
#undef SIM_FAULT
  count
};
constexpr size_t fault_kinds = static_cast<size_t>(Fault::count);
const char* fault_name(Fault f);                         // as scenarios name it
const char* fault_description(Fault f);                  // what it does, in a line
bool find_fault(const std::string& name, Fault& found);  // by fault_name

class Faults {
 public:
  // Switches the mode on; each frame a fault starts with `rate`'s chance, of
  // a kind drawn from those allowed (all but handle_reused, at first).
  void enable(uint64_t seed, double rate = 0.002);
  void disable();
  bool enabled() const { return enabled_; }
  void allow(Fault f, bool allowed = true) { allowed_[static_cast<size_t>(f)] = allowed; }

  // Starts a fault now, for `frames` frames (one-shot kinds act once).
  void start(World& w, Fault f, int frames = 120);
  void lift(World& w);  // every lasting fault ends now
  bool active(Fault f) const { return frames_left_[static_cast<size_t>(f)] > 0; }
  bool any_active() const;
  // Faults under which the design lets a pass wait without a limit.
  bool holds_a_wait() const;

  uint64_t injected(Fault f) const { return injected_[static_cast<size_t>(f)]; }
  std::string summary() const;  // "native fails 3, ..." for the kinds injected

  // The world's hooks: once per frame, before the scripts run; and for each
  // call, whether it fails.
  void on_frame(World& w);
  bool fails(World& w, const NativeCall& call) { return acting_ && fails_now(w, call); }

 private:
  bool fails_now(World& w, const NativeCall& call);
  uint64_t draw();
  double unit() { return static_cast<double>(draw() >> 11) * 0x1.0p-53; }
  int below(int n) { return n <= 0 ? 0 : static_cast<int>(draw() % static_cast<uint64_t>(n)); }
  template <class T>
  const T& pick(const std::vector<T>& from) {  // from must not be empty
    return from[static_cast<size_t>(below(static_cast<int>(from.size())))];
  }
  void end(World& w, Fault f);

  bool acting_ = false;  // any lasting fault: most calls meet none, and skip the checks
  bool enabled_ = false;
  uint64_t rng_ = 0;
  double rate_ = 0.0;
  std::array<bool, fault_kinds> allowed_{};
  std::array<int, fault_kinds> frames_left_{};
  std::array<uint64_t, fault_kinds> injected_{};
  std::vector<int32_t> offered_before_;  // prompts offered at the last frame, while enabled
  std::vector<uint32_t> held_models_;    // models kept from loading while a model fault lasts
  Vec player_at_;                        // where the player was before his position went wrong
  int hour_ = 12;
  float frame_seconds_ = 1.0f / 60.0f;
};

}  // namespace sim
