#pragma once
// The timeline: a line for each thing the world changed, with the game time,
// the frame and the player's distance to the deliverable's site; runs of
// frames in which nothing changed fold into one line. Verbose adds every
// native call. The changes of a frame are told in the order they happened,
// by the stamps the world puts on them.

#include <array>
#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "faults.h"
#include "observer.h"

namespace play {

// A value that moves for a while and settles: one line when it settles or
// turns back, from where it began, rather than one for every frame between.
struct Ramp {
  double value = 0.0;
  int direction = 0;  // 1 rising, -1 falling, 0 settled
  double from = 0.0;
  uint64_t since_ms = 0;
};

// Told each thing the world changed, as the timeline writes it.
class EventListener {
 public:
  virtual ~EventListener() = default;
  virtual void event(sim::World& world, const std::string& text) = 0;
};

class Timeline : public Observer {
 public:
  Timeline(std::ostream& out, bool verbose) : out_(out), verbose_(verbose) {}
  void listen(EventListener* listener) { listener_ = listener; }
  // The summary at the end lists every native not simulated, not ten.
  void summarize_all(bool all) { summarize_all_ = all; }

  bool needs_calls() const override { return verbose_; }
  void begin(const PlayContext& context, sim::World& world) override;
  void step(const Step& step, sim::World& world) override;
  void frame(const FrameView& view) override;
  void checked(const Step& step, const Verdict& verdict, sim::World& world) override;
  void failed(const Step* step, const std::string& message, sim::World& world) override;
  void end(sim::World& world) override;

 private:
  struct EntitySeen {
    bool exists = false;
    uint64_t made = 0;  // its made stamp's order: another on its handle has another
    std::string name;
    const void* owner = nullptr;
  };
  struct BlipSeen {
    bool live = false;
    std::vector<uint32_t> modifiers;
  };
  struct PromptSeen {
    bool offered = false;
    std::string label;
  };
  struct EffectSeen {
    bool live = false;
    Ramp scale;
  };
  struct OpenWait {
    bool open = false;
    std::string what;
    sim::WaitRecord first;  // the test it waits on
    uint64_t since_ms = 0;  // on the world's elapsed time
    uint64_t since_frame = 0;
  };

  // A line of the frame being played, kept until the frame's lines are put
  // in order.
  struct Pending {
    sim::Stamp at;
    std::string text;
    bool change = false;  // a change of the world, told to the listener too
  };

  std::string prefix(sim::World& world) const;
  void line(sim::World& world, const std::string& text);  // a change of the world, at at_
  void line(sim::World& world, const sim::Stamp& at, const std::string& text);
  std::string tagged(sim::World& world, const sim::Stamp& at, const std::string& text) const;
  void print(sim::World& world, const std::string& text);  // anything else
  void write(sim::World& world, const std::string& text, bool change);
  void write_frame(const FrameView& view);
  void flush_quiet();
  void close_wait(sim::World& world, OpenWait& wait, uint64_t now_ms, uint64_t now_frame);
  void host_events(sim::World& world);
  void host_event(sim::World& world, const sim::HostEvent& event);
  void wait_seen(sim::World& world, const sim::WaitRecord& wait);
  void entities(sim::World& world);
  std::string entity_name(sim::World& world, int32_t handle, const sim::EntityState& e) const;
  void blips(sim::World& world);
  void prompts(sim::World& world);
  void speech(sim::World& world);
  void money(sim::World& world);
  void tv(sim::World& world);
  void effects(sim::World& world);
  void speeds(sim::World& world);
  void violations(sim::World& world);
  void interiors(sim::World& world);
  void seats(sim::World& world);
  void faults(sim::World& world);
  void unsimulated(sim::World& world);
  void settle(sim::World& world, Ramp& ramp, double now, const std::string& what);
  void snapshot(sim::World& world);

  std::ostream& out_;
  const bool verbose_;
  EventListener* listener_ = nullptr;
  bool summarize_all_ = false;
  const PlayContext* context_ = nullptr;

  std::map<int32_t, EntitySeen> entities_;
  std::map<int32_t, BlipSeen> blips_;
  std::map<int32_t, PromptSeen> prompts_;
  size_t spoken_ = 0;
  size_t feed_ = 0;
  size_t violations_ = 0;
  size_t unsimulated_ = 0;
  std::set<uint64_t> unsimulated_seen_;
  int cash_ = 0;
  int channel_ = -1;
  std::map<int, std::pair<std::string, uint32_t>> playlists_;
  std::map<std::string, bool> drawn_;
  std::map<int32_t, EffectSeen> effects_;
  std::map<int32_t, Ramp> speeds_;
  int32_t player_interior_ = 0;
  std::map<int32_t, bool> seated_;
  std::map<uint64_t, OpenWait> waits_;  // by script: a plug-in may run several
  std::array<uint64_t, sim::fault_kinds> faults_begun_{};
  std::array<bool, sim::fault_kinds> faults_lasting_{};

  uint64_t quiet_frames_ = 0;
  std::string quiet_prefix_;
  // Times on the world's elapsed time, the scenario's own clock.
  uint64_t start_elapsed_ms_ = 0;
  uint64_t previous_ms_ = 0;  // at the end of the frame before
  uint64_t quiet_since_ms_ = 0;
  uint64_t quiet_until_ms_ = 0;
  size_t events_seen_ = 0;  // the host's events already shown
  float quiet_from_ = 0.0f;
  float quiet_to_ = 0.0f;
  bool busy_ = false;        // this frame printed something
  bool collecting_ = false;  // a frame's lines wait in pending_ to be put in order
  std::vector<Pending> pending_;
  sim::Stamp at_;  // when the change being told happened
};

// Numbers as the timeline writes them, the same on every platform.
std::string fixed(double value, int decimals);
std::string position_text(const sim::Vec& at);

}  // namespace play
