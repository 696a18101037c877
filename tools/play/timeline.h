#pragma once
// The timeline: a line for each thing the journal of the run tells, with the
// run's time, the frame and the player's distance to the deliverable's site;
// runs of frames in which nothing was told fold into one line. Verbose adds
// every native call, wait and script global.

#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>

#include "observer.h"

namespace play {

// A line of the timeline as it is printed, with what it is and the frame it
// is at, for a reader that shows the lines apart from the text.
struct TimelineLine {
  enum class Kind { heading, told, step, quiet, failed, crash, call, end, summary };
  Kind kind = Kind::told;
  uint64_t frame = 0;
  std::string text;
  uint64_t frames = 0;  // a quiet line's: the frames it folds
};

const char* line_kind_name(TimelineLine::Kind kind);

class Timeline : public Observer {
 public:
  Timeline(std::ostream& out, bool verbose) : out_(out), verbose_(verbose) {}
  // The summary at the end lists every native not simulated, not ten.
  void summarize_all(bool all) { summarize_all_ = all; }
  // Each line printed is given to `keep` as well.
  void keep_lines(std::function<void(const TimelineLine&)> keep) { keep_ = std::move(keep); }

  bool needs_calls() const override { return verbose_; }
  void begin(const PlayContext& context, sim::World& world) override;
  void read(sim::World& world) override;
  void frame_over(sim::World& world) override;
  void cut_short(sim::World& world) override;
  void end(sim::World& world) override;

 private:
  struct OpenWait {
    std::string what;
    uint64_t hash = 0;  // what it tested: the native, and its first argument
    uint64_t arg = 0;
    sim::PluginId by;
    uint64_t since_ms = 0;
    uint64_t since_frame = 0;
  };

  std::string prefix(const sim::JournalClock& at) const;
  void print(const sim::JournalClock& at, const std::string& text,
             TimelineLine::Kind kind = TimelineLine::Kind::told);
  void emit(TimelineLine::Kind kind, uint64_t frame, const std::string& text, uint64_t frames = 0);
  void told(sim::World& world, const sim::Entry& e, uint64_t n);
  std::string tagged(sim::World& world, const sim::Entry& e, const std::string& text) const;
  void flush_quiet();
  void wait(sim::World& world, const sim::Entry& e);
  void resumed(sim::World& world, const sim::Entry& e, uint64_t n);
  void close_wait(sim::World& world, uint64_t script, const sim::JournalClock& at);
  void call(const sim::JournalClock& at, const std::string& text);
  void flush_repeats();
  std::string script_name(const sim::World& world, const sim::Entry& e) const;

  std::ostream& out_;
  const bool verbose_;
  bool summarize_all_ = false;
  std::function<void(const TimelineLine&)> keep_;
  const PlayContext* context_ = nullptr;
  uint64_t next_ = 0;  // the next entry to read

  std::map<uint64_t, OpenWait> waits_;  // by script: a plug-in may run several
  sim::Vec player_at_;
  uint64_t player_ = 0;  // the player's ped, by serial

  sim::JournalClock frame_at_;  // the frame being read
  bool busy_ = false;           // it printed something
  uint64_t quiet_frames_ = 0;
  std::string quiet_prefix_;
  uint64_t quiet_frame_ = 0;  // the first of them
  uint64_t start_elapsed_ms_ = 0;
  uint64_t previous_ms_ = 0;  // at the end of the frame before
  uint64_t quiet_since_ms_ = 0;
  uint64_t quiet_until_ms_ = 0;
  float quiet_from_ = 0.0f;
  float quiet_to_ = 0.0f;

  // The scripts started of each plug-in, by its file: a pause names its
  // script when its plug-in has several.
  std::map<std::string, int, std::less<>> scripts_of_;
  using ScriptKey = std::pair<sim::PluginId, uint64_t>;
  // Each script's latest pause told, and the count of lines (not calls) printed then:
  // the same pause with nothing told since folds with the quiet frames.
  std::map<ScriptKey, std::pair<int64_t, uint64_t>> pauses_;
  uint64_t printed_ = 0;
  // --verbose: a call the same as the one before, in the same frame, is
  // counted, not printed again.
  std::string last_call_;
  uint64_t last_call_frame_ = 0;
  uint64_t last_call_printed_ = 0;
  sim::JournalClock repeats_at_;
  uint64_t repeats_ = 0;
};

}  // namespace play
