#include "play.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "crash_report.h"
#include "lower.h"
#include "map.h"
#include "parser.h"
#include "places.h"
#include "report_recorder.h"
#include "step_runner.h"
#include "timeline.h"
#include "trace.h"
#include "watchdog.h"

namespace play {

namespace {

// Every native call, a line each: the record two runs are compared by.
class CallLines : public Observer {
 public:
  explicit CallLines(std::ostream& out) : out_(out) {}
  bool needs_calls() const override { return true; }
  void read(sim::World& world) override {
    const sim::Journal& j = world.journal;
    for (next_ = std::max(next_, j.begin()); next_ < j.end(); ++next_) {
      if (j[next_].kind != sim::EntryKind::call) continue;
      const sim::CallRecord& r = j.call(j[next_]);
      out_ << r.frame << ' ' << r.text() << '\n';
    }
  }

 private:
  std::ostream& out_;
  uint64_t next_ = 0;
};

// A crash ends the process inside the run: the page is written then, with
// the timeline so far and the report (ReportRecorder::cut_short).
class PageOnCrash : public Observer {
 public:
  explicit PageOnCrash(std::function<void()> write) : write_(std::move(write)) {}
  void cut_short(sim::World&) override { write_(); }

 private:
  std::function<void()> write_;
};

// Calls kept over a report's run: about 15 MB of page at most.
constexpr size_t report_calls_cap = 200000;

// A plug-in file plays a deliverable when it bears its name (cinema.asi,
// cinema.so). Empty when the files given are the scenario's deliverables,
// each once, in any order; else what is amiss.
std::string plugins_not_named(const Scenario& scenario, const std::vector<std::string>& plugins) {
  std::vector<std::string> named = scenario.deliverables;
  std::vector<std::string> given;
  std::string files;
  for (const std::string& plugin : plugins) {
    given.push_back(lower(std::filesystem::path(plugin).stem().string()));
    files += (files.empty() ? "" : ", ") + std::filesystem::path(plugin).filename().string();
  }
  std::sort(named.begin(), named.end());
  std::sort(given.begin(), given.end());
  if (named == given) return "";
  std::string deliverables;
  for (const std::string& d : scenario.deliverables) {
    deliverables += (deliverables.empty() ? "" : " and ") + d;
  }
  return "the scenario plays " + deliverables + ", but the plug-in" +
         (plugins.size() == 1 ? " given is " : "s given are ") + files +
         "; --any-name plays them all the same";
}

}  // namespace

int play_scenario(sim::Host& host, const Options& options, const PluginFinder& find_plugin,
                  std::ostream& out, std::ostream& err) {
  Scenario scenario;
  try {
    scenario = parse_scenario_file(options.scenario);
  } catch (const ParseError& e) {
    err << e.what() << '\n';
    return 2;
  }
  // Under wine, Z: is the root: name the file as the native run does.
  if (scenario.file.rfind("Z:/", 0) == 0) scenario.file.erase(0, 2);
  std::vector<std::string> plugins = !options.plugin.empty() ? options.plugin : options.asi;
  if (plugins.empty()) {
    for (const std::string& name : scenario.deliverables) plugins.push_back(find_plugin(name));
  } else if (!options.any_name && !scenario.deliverables.empty()) {
    const std::string mismatch = plugins_not_named(scenario, plugins);
    if (!mismatch.empty()) {
      err << scenario.file << ':' << scenario.deliverable_line << ": " << mismatch << '\n';
      return 2;
    }
  }
  if (plugins.empty() || std::find(plugins.begin(), plugins.end(), "") != plugins.end()) {
    err << scenario.file << ":1: expected 'deliverable' and one of " << deliverable_names()
        << ", or a plug-in named with --asi or --plugin\n";
    return 2;
  }
  std::vector<Observer*> observers;
  Timeline timeline(out, options.verbose);
  timeline.summarize_all(options.summary);
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
    writers.push_back(std::make_unique<CallLines>(*out_file));
  }
  if (!options.trace.empty()) {
    std::ostream* out_file = open(options.trace);
    if (out_file == nullptr) return 2;
    auto trace = std::make_unique<Trace>(*out_file, options.trace_all);
    writers.push_back(std::move(trace));
  }
  if (!options.map.empty()) {
    std::ostream* out_file = open(options.map);
    if (out_file == nullptr) return 2;
    writers.push_back(std::make_unique<Map>(*out_file));
  }
  ReportData report;
  std::ostream* report_file = nullptr;
  const auto write_page = [&] {
    write_report_page(*report_file, report);
    report_file->flush();
  };
  if (!options.report.empty()) {
    report_file = open(options.report);
    if (report_file == nullptr) return 2;
    writers.push_back(std::make_unique<ReportRecorder>(report, report_calls_cap));
    writers.push_back(std::make_unique<PageOnCrash>(write_page));
  }
  for (const auto& w : writers) observers.push_back(w.get());
  sim::install_crash_reports();
  const sim::Watchdog watchdog(options.watchdog);
  host.set_strict(options.strict);
  const int status =
      run_steps(host, scenario, plugins, observers, err, nullptr, options.wall_clock);
  if (report_file != nullptr) {
    report.status = status;
    write_page();
  }
  out.flush();
  return status;
}

}  // namespace play
