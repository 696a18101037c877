#pragma once
// Reads the journal of a run as it is written, into the records a test
// sees, and what the world holds when the run ends, before the host forgets
// it.

#include <vector>

#include "observer.h"
#include "rdr2-standin/records.h"

namespace standin {

// The world as a test reads it.
struct State {
  std::vector<Thing> things;
  std::vector<Prompt> offered;
  std::vector<std::string> violations;
  int cash = 0;
  uint64_t frame = 0;
};

class Recorder : public play::Observer {
 public:
  void begin(const play::PlayContext& context, sim::World& world) override;
  void read(sim::World& world) override;
  void end(sim::World& world) override;

  const std::vector<Entry>& entries() const { return entries_; }
  const std::vector<Text>& texts() const { return texts_; }
  const std::vector<Line>& lines() const { return lines_; }
  // While the run goes on, the world's; once it has ended, as it ended.
  State state(const sim::World& world) const;

 private:
  uint64_t next_ = 0;
  bool ended_ = false;
  std::vector<Entry> entries_;
  std::vector<Text> texts_;
  std::vector<Line> lines_;
  State last_;
};

}  // namespace standin
