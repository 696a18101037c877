#pragma once
// A reader of the journal that fills a report's record as the run plays.

#include <map>
#include <string>
#include <vector>

#include "observer.h"
#include "report.h"
#include "timeline.h"

namespace play {

class ReportRecorder : public Observer {
 public:
  // At most `calls_cap` calls are kept over the run.
  ReportRecorder(ReportData& data, size_t calls_cap);
  bool needs_calls() const override { return true; }
  void begin(const PlayContext& context, sim::World& world) override;
  void step(const Step& step, sim::World& world) override;
  void read(sim::World& world) override;
  void frame_over(sim::World& world) override;
  void cut_short(sim::World& world) override;
  void end(sim::World& world) override;

 private:
  int owner(sim::World& world, sim::PluginId who) const;
  void take(sim::World& world, const sim::Entry& e);
  void begin_frame(const sim::Entry& e);
  void path(uint64_t frame, const sim::Vec& at);
  void close(Span& span, uint64_t frame);
  bool between(const sim::Entry& e) const;
  uint64_t shown_from(const sim::Entry& e) const;
  uint64_t shown_to(const sim::Entry& e) const;
  bool thing(sim::World& world, const sim::Entry& e);
  void prompt(sim::World& world, const sim::Entry& e);
  void box_from(sim::World& world, const sim::Entry& e, const sim::entry::Box& box,
                BoxShown& b) const;
  void tv(uint64_t frame);
  void value(sim::World& world, const sim::Entry& e);
  void keep_calls(uint64_t frame);
  void keep(uint64_t frame, std::vector<std::string>&& calls, bool above_cap);
  void finish(sim::World& world);
  void line(const TimelineLine& line);

  ReportData& d_;
  const size_t cap_;
  // The page's timeline: the one without --verbose, whose calls fill every
  // frame, so that the page is the same either way.
  std::ostream no_text_{nullptr};
  Timeline lines_{no_text_, false};
  const PlayContext* context_ = nullptr;
  uint64_t next_ = 0;  // the next entry to read
  uint64_t start_ms_ = 0, last_ms_ = 0, last_step_ = 0;
  bool live_frame_step_ = false;
  bool teleported_ = false;  // the next point of the path starts a leg
  int channel_ = -1;
  std::map<int, std::string> playlists_;
  std::string tv_;
  uint64_t ended_ = 0;  // the latest frame over
  bool has_ended_ = false;
  std::map<uint64_t, size_t> open_things_;       // by serial: its record
  std::map<uint64_t, size_t> things_by_serial_;  // every one shown, gone or not
  std::map<uint64_t, size_t> open_prompts_;      // by serial
  std::vector<size_t> open_texts_;
  std::vector<size_t> open_boxes_;
  std::vector<std::string> frame_calls_;  // the calls of the frame being read
  bool busy_ = false;                     // the frame changed something a reader sees
  // The calls of frames over that no line was at yet: the latest, and the
  // first of the quiet frames since, whose line comes when they end.
  std::map<uint64_t, std::vector<std::string>> pending_;
  uint64_t quiet_from_ = 0;
  uint64_t lined_ = 0;  // the latest frame a line was at
  size_t kept_ = 0;
  uint64_t frames_with_calls_ = 0, over_cap_ = 0;
};

}  // namespace play
