#pragma once
// Fills a report's record as the run plays.

#include <map>
#include <string>
#include <vector>

#include "observer.h"
#include "report.h"

namespace play {

class ReportRecorder : public Observer {
 public:
  // At most `calls_cap` calls are kept over the run.
  ReportRecorder(ReportData& data, size_t calls_cap);
  bool needs_calls() const override { return true; }
  void begin(const PlayContext& context, sim::World& world) override;
  void step(const Step& step, sim::World& world) override;
  void frame(const FrameView& view) override;
  void checked(const Step& step, const Verdict& verdict, sim::World& world) override;
  void failed(const Step* step, const std::string& message, sim::World& world) override;
  void end(sim::World& world) override;

 private:
  struct OpenThing {
    size_t index = 0;
    uint64_t made = 0;  // its made stamp's order: another on its handle is another thing
  };
  int owner(sim::World& world, const void* who) const;
  void close(Span& span, uint64_t frame);
  void sample_path(sim::World& world);
  void things(sim::World& world);
  void prompts(sim::World& world);
  void texts(sim::World& world);
  void notices(sim::World& world);
  void keep_calls(const FrameView& view);

  ReportData& d_;
  const size_t cap_;
  const PlayContext* context_ = nullptr;
  uint64_t start_ms_ = 0;
  float frame_time_ = 0.0f;
  int cash_ = 0;
  std::string tv_;
  size_t feed_ = 0, spoken_ = 0, violations_ = 0;
  std::map<int32_t, OpenThing> open_things_;
  std::map<int32_t, size_t> open_blips_;
  std::map<int32_t, size_t> open_prompts_;
  std::vector<size_t> open_texts_;
  bool busy_ = false;  // the frame changed something a reader sees
  size_t kept_ = 0;
  uint64_t quiet_frames_ = 0, over_cap_ = 0;
};

// The timeline's text, a line each at its frame.
void add_timeline_lines(ReportData& data, const std::string& timeline);

}  // namespace play
