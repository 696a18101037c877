#pragma once
// The trace: what the scenario did, in the Trace Event Format that trace
// viewers open, with game time as the clock. Three tracks: the script (a
// slice for each pass, each wait inside a pass, and each native call with
// its name, hash, arguments and result), the scenario's steps, and the
// world's events as the timeline tells them. With several scripts (several
// plug-ins, or a plug-in's additional threads) each has a track of its own. Runs of frames in which
// the world changed nothing fold into one slice with their frame and call counts, as in the
// timeline, unless every call is to be kept. Calls made in one frame share its game time; they are
// spread a microsecond apart to keep their order. The summary of the run ends it.

#include <cstdint>
#include <map>
#include <ostream>
#include <string>

#include "json_out.h"
#include "observer.h"

namespace play {

class Trace : public Observer {
 public:
  Trace(std::ostream& out, bool every_call) : out_(out), every_call_(every_call) {}

  bool needs_calls() const override { return true; }
  void begin(const PlayContext& context, sim::World& world) override;
  void read(sim::World& world) override;
  void end(sim::World& world) override;

 private:
  int64_t at(const sim::JournalClock& clock) const {
    return static_cast<int64_t>(clock.elapsed_ms - start_ms_) * 1000;
  }
  int64_t ts_of(const sim::Entry& e) const;
  void told(sim::World& world, const sim::Entry& e);
  void host_instant(const sim::Entry& e, int64_t ts);
  void open_event(char phase, int track, const char* category, std::string_view name, int64_t ts);
  void slice(int track, const char* category, std::string_view name, int64_t from, int64_t to);
  void instant(int track, const char* category, std::string_view name, int64_t ts);
  // A script's track and where its pass and its wait inside the pass stand.
  struct Lane {
    int track = 0;
    bool in_pass = false;
    int64_t pass_from = 0;
    uint64_t pass_frame = 0;
    // A wait inside a pass, on what `wait_what` says. The script's test
    // after each frame of it belongs to the wait; the wait is over at the
    // first call after its last frame, once the script goes on to something else.
    bool waiting = false;
    std::string wait_what;
    int64_t wait_from = 0;
    int64_t resumed_at = -1;
  };
  Lane& lane(uint64_t script);
  void name_track(int track, uint64_t script);
  void call(const sim::CallRecord& call, int track, int64_t ts);
  void wait_seen(const sim::Entry& wait, sim::World& world, int64_t ts);
  void resume(Lane& lane, int64_t ts);
  void wait_over(Lane& lane);
  void pass_over(Lane& lane, int64_t ts);
  void script_ended(uint64_t script, int64_t ts);
  bool quiet(sim::World& world, uint64_t from, uint64_t to) const;
  void flush_quiet(int64_t to);
  void step_over(int64_t ts);

  JsonOut out_;
  const bool every_call_;
  const PlayContext* context_ = nullptr;
  uint64_t start_ms_ = 0;  // the world's elapsed time when the scenario began: the timer may jump
  uint64_t next_ = 0;      // the journal's next entry to read
  bool first_ = true;

  std::map<uint64_t, Lane> lanes_;  // by the host's number of the script
  std::map<uint64_t, std::string> script_names_;

  // The frame being read, and the run of quiet frames.
  bool in_frame_ = false;
  uint64_t frame_at_frame_ = 0;
  int64_t frame_base_ = 0;
  int64_t frame_calls_ = 0;
  uint64_t quiet_frames_ = 0;
  uint64_t quiet_calls_ = 0;
  int64_t quiet_from_ = 0;
  int64_t quiet_to_ = 0;

  bool in_step_ = false;
  std::string step_name_;
  int step_line_ = 0;
  int64_t step_from_ = 0;
};

}  // namespace play
