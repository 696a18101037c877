#pragma once
// The trace: every native call in the Trace Event Format that trace viewers
// open, with game time as the clock. A slice for each pass of the script, a
// slice for each wait inside a pass, and an event for each native call with
// its name, hash, decoded arguments and result. Calls made in one frame share
// its game time; they are spread a microsecond apart to keep their order.

#include <cstdint>
#include <ostream>
#include <string>

#include "observer.h"

namespace play {

class Trace : public Observer {
 public:
  explicit Trace(std::ostream& out) : out_(out) {}

  bool needs_calls() const override { return true; }
  void begin(const PlayContext& context, sim::World& world) override;
  void frame(const FrameView& view) override;
  void end(sim::World& world) override;

 private:
  void write(const std::string& event);
  void slice(const char* category, const std::string& name, int64_t from, int64_t to,
             const std::string& args);
  void call(const sim::CallRecord& call, int64_t ts);
  void wait_seen(const sim::WaitRecord& wait, sim::World& world, int64_t ts);
  void resume(int64_t ts);
  void wait_over();

  std::ostream& out_;
  uint64_t start_ms_ = 0;   // the world's elapsed time when the scenario began
  size_t events_seen_ = 0;  // the host's events already written
  void host_events(int64_t base, size_t calls);
  bool first_ = true;

  bool in_pass_ = false;
  int64_t pass_from_ = 0;
  uint64_t pass_frame_ = 0;
  // A wait inside a pass, on what `wait_what_` says. The script's test
  // after each frame of it belongs to the wait; the wait is over at the
  // first call after its last frame, once the script goes on to something else.
  bool waiting_ = false;
  std::string wait_what_;
  int64_t wait_from_ = 0;
  int64_t resumed_at_ = -1;
};

}  // namespace play
