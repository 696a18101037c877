#include "play.h"

#include <fstream>
#include <memory>

#include "parser.h"
#include "places.h"
#include "step_runner.h"
#include "timeline.h"
#include "trace.h"

namespace play {

namespace {

// Every native call, a line each: the record two runs are compared by.
class CallLog : public Observer {
 public:
  explicit CallLog(std::ostream& out) : out_(out) {}
  bool needs_calls() const override { return true; }
  void frame(const FrameView& view) override {
    for (const sim::CallRecord& r : view.calls) out_ << r.frame << ' ' << r.text() << '\n';
  }

 private:
  std::ostream& out_;
};

}  // namespace

int play_scenario(const Options& options, const PluginFinder& find_plugin, std::ostream& out,
                  std::ostream& err) {
  Scenario scenario;
  try {
    scenario = parse_scenario_file(options.scenario);
  } catch (const ParseError& e) {
    err << e.what() << '\n';
    return 2;
  }
  // Under wine, Z: is the root: name the file as the native run does.
  if (scenario.file.rfind("Z:/", 0) == 0) scenario.file.erase(0, 2);
  const std::string plugin =
      !options.plugin.empty() ? options.plugin : find_plugin(scenario.deliverable);
  if (plugin.empty()) {
    err << scenario.file << ":1: expected 'deliverable' and one of " << deliverable_names()
        << ", or a plug-in named with --asi or --plugin\n";
    return 2;
  }
  std::vector<Observer*> observers;
  Timeline timeline(out, options.verbose);
  observers.push_back(&timeline);
  std::ofstream record_file;
  std::unique_ptr<CallLog> record;
  if (!options.record.empty()) {
    record_file.open(options.record, std::ios::binary);
    if (!record_file) {
      err << options.record << ": cannot be written\n";
      return 2;
    }
    record = std::make_unique<CallLog>(record_file);
    observers.push_back(record.get());
  }
  std::ofstream trace_file;
  std::unique_ptr<Trace> trace;
  if (!options.trace.empty()) {
    trace_file.open(options.trace, std::ios::binary);
    if (!trace_file) {
      err << options.trace << ": cannot be written\n";
      return 2;
    }
    trace = std::make_unique<Trace>(trace_file);
    observers.push_back(trace.get());
  }
  const int status = run_steps(scenario, plugin, observers, err);
  out.flush();
  return status;
}

}  // namespace play
