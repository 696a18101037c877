#include "play.h"

#include <fstream>
#include <memory>

#include "map.h"
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
  // The files the options ask for, each written by its observer.
  std::vector<std::unique_ptr<std::ofstream>> files;
  std::vector<std::unique_ptr<Observer>> writers;
  const auto open = [&](const std::string& path) -> std::ostream* {
    files.push_back(std::make_unique<std::ofstream>(path, std::ios::binary));
    if (*files.back()) return files.back().get();
    err << path << ": cannot be written\n";
    return nullptr;
  };
  if (!options.record.empty()) {
    std::ostream* out_file = open(options.record);
    if (out_file == nullptr) return 2;
    writers.push_back(std::make_unique<CallLog>(*out_file));
  }
  if (!options.trace.empty()) {
    std::ostream* out_file = open(options.trace);
    if (out_file == nullptr) return 2;
    writers.push_back(std::make_unique<Trace>(*out_file));
  }
  if (!options.map.empty()) {
    std::ostream* out_file = open(options.map);
    if (out_file == nullptr) return 2;
    writers.push_back(std::make_unique<Map>(*out_file));
  }
  for (const auto& w : writers) observers.push_back(w.get());
  const int status = run_steps(scenario, plugin, observers, err);
  out.flush();
  return status;
}

}  // namespace play
