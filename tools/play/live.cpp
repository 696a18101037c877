#include "live.h"

#include <httplib.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "crash_report.h"
#include "faults.h"
#include "parser.h"
#include "report_recorder.h"
#include "step_runner.h"
#include "watchdog.h"

namespace play {

namespace {

using Clock = std::chrono::steady_clock;

constexpr float walk_speed = 1.6f;  // metres a second
constexpr float run_speed = 5.0f;
constexpr float turn_speed = 90.0f;  // degrees a second, Q and E
constexpr size_t calls_cap = 0;      // a live page keeps the latest frames' calls only

bool moves(const std::string& code) {
  static const std::set<std::string> keys = {"KeyW",      "KeyA",       "KeyS",      "KeyD",
                                             "ArrowUp",   "ArrowDown",  "ArrowLeft", "ArrowRight",
                                             "ShiftLeft", "ShiftRight", "KeyQ",      "KeyE"};
  return keys.count(code) != 0;
}

// A page's key code as a scenario names the key; empty for one it cannot.
std::string key_name(const std::string& code) {
  if (code.size() == 4 && code.rfind("Key", 0) == 0) return code.substr(3);
  if (code.size() == 6 && code.rfind("Digit", 0) == 0) return code.substr(5);
  if (code.rfind("Numpad", 0) == 0 && code.size() == 7 && std::isdigit(code[6])) {
    return "NUMPAD" + code.substr(6);
  }
  if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F' && std::isdigit(code[1])) return code;
  static const std::map<std::string, std::string> named = {
      {"Enter", "RETURN"}, {"Escape", "ESCAPE"},      {"Space", "SPACE"},
      {"Tab", "TAB"},      {"Backspace", "BACK"},     {"ControlLeft", "CONTROL"},
      {"AltLeft", "MENU"}, {"NumpadDivide", "DIVIDE"}};
  const auto it = named.find(code);
  return it == named.end() ? "" : it->second;
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

std::atomic<bool> interrupted{false};

// What the page sent, queued by the server's threads for the game's.
struct Input {
  std::string key;  // a key code, with `down`
  bool down = false;
  double turn = 0.0;
  bool teleport = false;
  double x = 0.0, y = 0.0;
  std::string fault;
  int pause = -1;  // 0 go on, 1 pause
  int step = 0;
  double speed = 0.0;
  bool quit = false;
};

// A page waiting for what is newer than `since`; the game's thread answers.
struct Ask {
  uint64_t since = 0;
  Clock::time_point until;
  std::mutex lock;
  std::condition_variable done_signal;
  bool done = false;
  std::string answer;
};

class Mailbox {
 public:
  void put(Input input) {
    const std::lock_guard<std::mutex> guard(lock_);
    inputs_.push_back(std::move(input));
  }
  void ask(const std::shared_ptr<Ask>& ask) {
    const std::lock_guard<std::mutex> guard(lock_);
    asks_.push_back(ask);
  }
  std::deque<Input> inputs() {
    const std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(inputs_, {});
  }
  std::vector<std::shared_ptr<Ask>> asks() {
    const std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(asks_, {});
  }

 private:
  std::mutex lock_;
  std::deque<Input> inputs_;
  std::vector<std::shared_ptr<Ask>> asks_;
};

void answer(Ask& ask, std::string text) {
  {
    const std::lock_guard<std::mutex> guard(ask.lock);
    ask.answer = std::move(text);
    ask.done = true;
  }
  ask.done_signal.notify_all();
}

// The game's side: each step it gives plays at most one frame, when the
// page's clock says the frame is due; between frames it answers the page.
class LiveSource : public StepSource, public Observer {
 public:
  LiveSource(Mailbox& mail, ReportData& data, std::string header, std::vector<std::string> plugins,
             std::ostream& session)
      : mail_(mail),
        d_(data),
        header_(std::move(header)),
        plugins_(std::move(plugins)),
        session_(session) {
    for (const std::string& p : plugins_) written_[p] = modified(p);
  }

  void begin(const PlayContext&, sim::World& world) override { world_ = &world; }
  bool next(Step& step, std::string& reload) override;
  void failure(const std::string& message) override {
    d_.moments.push_back({{d_.version}, d_.last_frame, "failed", message, 0});
  }
  // The session file's lines so far: a step's line is where it is written.
  void lines_written(int lines) { written_lines_ = lines; }

 private:
  static std::filesystem::file_time_type modified(const std::string& file) {
    std::error_code e;
    return std::filesystem::last_write_time(file, e);
  }
  void answer_asks();
  void take_inputs();
  bool make_step(const std::string& line, Step& step);
  void record(const std::string& line);
  void write_fold();
  std::string player_line(const char* verb, float x, float y, float z) const;
  bool frame_step(Step& step);
  std::string changed_plugin();

  Mailbox& mail_;
  ReportData& d_;
  const std::string header_;
  const std::vector<std::string> plugins_;
  std::ostream& session_;
  sim::World* world_ = nullptr;

  std::deque<std::string> due_;  // steps of no frame, to be given before the next frame
  std::vector<std::shared_ptr<Ask>> waiting_;
  std::set<std::string> held_;  // the page's keys down
  std::set<std::string> sent_;  // keys and controls down in the game, by step name
  double heading_ = 0.0;        // degrees, 0 north, as the game turns
  bool paused_ = false;
  int steps_ = 0;
  double speed_ = 1.0;
  bool quit_ = false;
  Clock::time_point due_at_ = Clock::now();
  Clock::time_point checked_files_ = Clock::now();
  std::map<std::string, std::filesystem::file_time_type> written_;
  int written_lines_ = 0;

  // The frames played since the last step written, as one step: still
  // (a wait), or walking by the same stride each frame (a walk). It is
  // written when something else happens, so that the session's file holds
  // one line for a run of frames.
  struct Fold {
    enum class Kind : uint8_t { none, wait, walk } kind = Kind::none;
    int frames = 0;
    sim::Vec from;    // a walk's start
    double dx = 0.0;  // its stride a frame, on a grid fine enough to walk
    double dy = 0.0;  // and coarse enough that from + stride * n is exact
  } fold_;

 public:
  // What is still folded goes to the file as the session ends.
  void end_session() { write_fold(); }
};

void LiveSource::answer_asks() {
  for (auto& a : mail_.asks()) waiting_.push_back(std::move(a));
  if (waiting_.empty()) return;
  d_.paused = paused_;
  d_.speed = speed_;
  d_.ended = quit_;
  const Clock::time_point now = Clock::now();
  std::vector<std::shared_ptr<Ask>> still;
  for (auto& a : waiting_) {
    if (a->since < d_.version || quit_) {
      std::ostringstream json;
      write_report_json(json, d_, a->since);
      answer(*a, std::move(json).str());
    } else if (now >= a->until) {
      answer(*a, "{\"version\":" + std::to_string(a->since) + "}");
    } else {
      still.push_back(std::move(a));
    }
  }
  waiting_ = std::move(still);
}

bool LiveSource::make_step(const std::string& line, Step& step) {
  try {
    Scenario one = parse_scenario("session", header_ + line + "\n");
    if (one.steps.empty()) return false;
    step = std::move(one.steps.back());
    step.line = written_lines_ + 1;
    return true;
  } catch (const ParseError& e) {
    d_.moments.push_back({{d_.version}, d_.last_frame, "failed", e.what(), 0});
    return false;
  }
}

// Each step a line, a run of frames one too, so that the session played
// again tells its steps as this one did, at the same lines.
void LiveSource::record(const std::string& line) {
  write_fold();
  session_ << line << '\n';
  ++written_lines_;
}

void LiveSource::write_fold() {
  const Fold f = std::exchange(fold_, Fold{});
  if (f.kind == Fold::Kind::none) return;
  const std::string frames = f.frames == 1 ? "1 frame" : std::to_string(f.frames) + " frames";
  if (f.kind == Fold::Kind::wait) {
    session_ << "wait " << frames << '\n';
  } else {
    session_ << player_line("walk", static_cast<float>(f.from.x + f.dx * f.frames),
                            static_cast<float>(f.from.y + f.dy * f.frames), f.from.z)
             << " over " << frames << '\n';
  }
  ++written_lines_;
}

std::string LiveSource::player_line(const char* verb, float x, float y, float z) const {
  return std::string(verb) + " to " + number(x) + " " + number(y) + " " + number(z);
}

void LiveSource::take_inputs() {
  for (Input& in : mail_.inputs()) {
    if (in.quit) quit_ = true;
    if (in.pause >= 0) paused_ = in.pause == 1;
    if (in.step > 0) steps_ += in.step;
    if (in.speed > 0.0) speed_ = std::clamp(in.speed, 0.25, 8.0);
    heading_ = std::fmod(heading_ + in.turn + 360.0, 360.0);
    if (in.teleport && world_ != nullptr) {
      due_.push_back(player_line("teleport", static_cast<float>(in.x), static_cast<float>(in.y),
                                 world_->player_position().z));
    }
    if (!in.fault.empty()) due_.push_back("fault \"" + in.fault + "\"");
    if (in.key.empty()) continue;
    if (in.down) {
      if (!held_.insert(in.key).second) continue;
    } else if (held_.erase(in.key) == 0) {
      continue;
    }
    if (moves(in.key)) continue;
    std::vector<std::string> names;
    if (const std::string key = key_name(in.key); !key.empty()) names.push_back(key);
    // A key that works a control goes to the plug-ins too, as the game's
    // window sends every key to them.
    for (const auto& [control, key] : control_keys()) {
      if (in.key == "Key" + key) names.push_back(control);
    }
    for (const std::string& name : names) {
      if (in.down && sent_.insert(name).second) due_.push_back("press " + name);
      if (!in.down && sent_.erase(name) != 0) due_.push_back("release " + name);
    }
  }
}

// The frame's step: a walk of one frame while a key that walks is down.
bool LiveSource::frame_step(Step& step) {
  const auto down = [&](const char* a, const char* b) {
    return held_.count(a) != 0 || held_.count(b) != 0;
  };
  const double dt = world_ != nullptr ? world_->frame_time() : 1.0 / 60.0;
  const double turn = (down("KeyQ", "KeyQ") ? 1.0 : 0.0) - (down("KeyE", "KeyE") ? 1.0 : 0.0);
  heading_ = std::fmod(heading_ + turn * turn_speed * dt + 360.0, 360.0);
  const double forward =
      (down("KeyW", "ArrowUp") ? 1.0 : 0.0) - (down("KeyS", "ArrowDown") ? 1.0 : 0.0);
  const double right =
      (down("KeyD", "ArrowRight") ? 1.0 : 0.0) - (down("KeyA", "ArrowLeft") ? 1.0 : 0.0);
  if ((forward == 0.0 && right == 0.0) || world_ == nullptr) {
    if (fold_.kind != Fold::Kind::wait) {
      write_fold();
      fold_.kind = Fold::Kind::wait;
    }
    ++fold_.frames;
    return make_step("wait 1 frame", step);
  }
  const double speed = down("ShiftLeft", "ShiftRight") ? run_speed : walk_speed;
  const double h = heading_ * M_PI / 180.0;
  const double length = std::hypot(forward, right);
  // Heading 0 faces north (+y) and grows to the west, as the game's does.
  const double dx = (forward * -std::sin(h) + right * std::cos(h)) / length;
  const double dy = (forward * std::cos(h) + right * std::sin(h)) / length;
  // The stride on a grid of 1/512 m: a walk of N frames played again then
  // passes through the very points this one did.
  const auto on_grid = [](double v) { return std::round(v * 512.0) / 512.0; };
  const double sx = on_grid(dx * speed * dt);
  const double sy = on_grid(dy * speed * dt);
  if (fold_.kind != Fold::Kind::walk || fold_.dx != sx || fold_.dy != sy) {
    write_fold();
    fold_ = {Fold::Kind::walk, 0, world_->player_position(), sx, sy};
  }
  ++fold_.frames;
  const sim::Vec& from = fold_.from;
  const std::string line = player_line("walk", static_cast<float>(from.x + sx * fold_.frames),
                                       static_cast<float>(from.y + sy * fold_.frames), from.z) +
                           " over 1 frame";
  return make_step(line, step);
}

std::string LiveSource::changed_plugin() {
  const Clock::time_point now = Clock::now();
  if (now - checked_files_ < std::chrono::milliseconds(300)) return "";
  checked_files_ = now;
  for (auto& [file, written] : written_) {
    const auto at = modified(file);
    // A file being written is left until it has been still a moment.
    if (at != written &&
        std::filesystem::file_time_type::clock::now() - at > std::chrono::milliseconds(300)) {
      written = at;
      return file;
    }
  }
  return "";
}

bool LiveSource::next(Step& step, std::string& reload) {
  answer_asks();
  for (;;) {
    if (interrupted) quit_ = true;
    take_inputs();
    if (quit_) {
      answer_asks();
      return false;
    }
    if (!due_.empty()) {
      const std::string line = std::move(due_.front());
      due_.pop_front();
      write_fold();  // before the step takes its line
      if (make_step(line, step)) {
        record(line);
        return true;
      }
      continue;
    }
    if (std::string file = changed_plugin(); !file.empty()) {
      reload = file;
      record("# " + std::filesystem::path(file).filename().string() +
             " was built again and loaded again here");
      step = Step();
      return true;
    }
    const Clock::time_point now = Clock::now();
    if ((!paused_ && now >= due_at_) || steps_ > 0) {
      if (steps_ > 0 && paused_) --steps_;
      if (!paused_) steps_ = 0;
      const double dt = world_ != nullptr ? world_->frame_time() : 1.0 / 60.0;
      due_at_ = std::max(due_at_, now - std::chrono::milliseconds(250)) +
                std::chrono::microseconds(static_cast<int64_t>(dt * 1e6 / speed_));
      return frame_step(step);
    }
    answer_asks();
    std::this_thread::sleep_for(std::chrono::milliseconds(paused_ ? 5 : 1));
  }
}

Input read_input(const std::string& body) {
  Input in;
  const nlohmann::json j = nlohmann::json::parse(body, nullptr, false);
  if (!j.is_object()) return in;
  if (j.contains("key") && j["key"].is_string()) {
    in.key = j["key"];
    in.down = j.value("down", false);
  }
  if (j.contains("turn") && j["turn"].is_number()) in.turn = j["turn"];
  if (j.contains("teleport") && j["teleport"].is_array() && j["teleport"].size() == 2 &&
      j["teleport"][0].is_number() && j["teleport"][1].is_number()) {
    in.teleport = true;
    in.x = j["teleport"][0];
    in.y = j["teleport"][1];
  }
  if (j.contains("fault") && j["fault"].is_string()) {
    sim::Fault f;
    if (sim::find_fault(j["fault"], f)) in.fault = j["fault"];
  }
  if (j.contains("pause") && j["pause"].is_boolean()) in.pause = j["pause"] ? 1 : 0;
  if (j.contains("step") && j["step"].is_number_integer())
    in.step = std::clamp(int(j["step"]), 0, 600);
  if (j.contains("speed") && j["speed"].is_number()) in.speed = j["speed"];
  if (j.contains("quit")) in.quit = true;
  return in;
}

}  // namespace

int play_live(sim::Host& host, const Options& options, const PluginFinder& find_plugin,
              std::ostream& out, std::ostream& err) {
  if (!options.asi.empty()) {
    err << "play: --live plays native plug-ins (--plugin); a .asi runs under wine in a process "
           "of its own, which --report can watch: play --asi FILE --report FILE.html SCENARIO\n";
    return 2;
  }
  std::string text;
  std::string file = options.scenario;
  if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      err << file << ": cannot be read\n";
      return 2;
    }
    text.assign(std::istreambuf_iterator<char>(in), {});
  } else {
    file = "live";
    text = options.plugin.empty() ? "deliverable cinema\nstart at 20 m south of post\n"
                                  : "start at 0 0 0\n";
  }
  Scenario scenario;
  try {
    scenario = parse_scenario(file, text);
  } catch (const ParseError& e) {
    err << e.what() << '\n';
    return 2;
  }
  std::vector<std::string> plugins = options.plugin;
  if (plugins.empty()) {
    for (const std::string& name : scenario.deliverables) plugins.push_back(find_plugin(name));
  }
  if (plugins.empty() || std::find(plugins.begin(), plugins.end(), "") != plugins.end()) {
    err << file << ":1: expected 'deliverable' and one of " << deliverable_names()
        << ", or a plug-in named with --plugin\n";
    return 2;
  }
  std::string header;
  if (!scenario.deliverables.empty()) {
    header = "deliverable";
    for (const std::string& d : scenario.deliverables) header += " " + d;
    header += "\n";
  }
  const std::string session_file = options.session.empty() ? "session.scenario" : options.session;
  std::ofstream session(session_file, std::ios::binary);
  if (!session) {
    err << session_file << ": cannot be written\n";
    return 2;
  }
  // The scenario as it is, so that its steps keep their lines.
  session << text;
  if (!text.empty() && text.back() != '\n') session << '\n';
  session << "# played live from here on; ./play " << session_file << " plays it again\n";
  const int scenario_lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) +
                             (!text.empty() && text.back() != '\n' ? 1 : 0) + 1;

  ReportData data;
  data.live = true;
  data.summary = {"(told when the session ends)"};
  for (size_t n = 0; n < sim::fault_kinds; ++n) {
    data.faults.emplace_back(sim::fault_name(static_cast<sim::Fault>(n)));
  }
  Mailbox mail;
  ReportRecorder recorder(data, calls_cap);
  LiveSource source(mail, data, header, plugins, session);
  source.lines_written(scenario_lines);

  httplib::Server server;
  server.set_tcp_nodelay(true);  // small answers, each awaited
  const std::string page = live_page();
  server.Get("/", [&page](const httplib::Request&, httplib::Response& r) {
    r.set_content(page, "text/html; charset=utf-8");
  });
  server.Get("/data", [&mail](const httplib::Request& q, httplib::Response& r) {
    auto ask = std::make_shared<Ask>();
    ask->since =
        q.has_param("since") ? std::strtoull(q.get_param_value("since").c_str(), nullptr, 10) : 0;
    ask->until = Clock::now() + std::chrono::seconds(1);
    mail.ask(ask);
    std::unique_lock<std::mutex> guard(ask->lock);
    ask->done_signal.wait_for(guard, std::chrono::seconds(3), [&] { return ask->done; });
    r.set_header("Cache-Control", "no-store");
    r.set_content(ask->done ? ask->answer : "{\"version\":" + std::to_string(ask->since) + "}",
                  "application/json");
  });
  server.Post("/input", [&mail](const httplib::Request& q, httplib::Response& r) {
    mail.put(read_input(q.body));
    r.status = 204;
  });
  const int port = options.port != 0
                       ? (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1)
                       : server.bind_to_any_port("127.0.0.1");
  if (port <= 0) {
    err << "play: cannot listen on 127.0.0.1"
        << (options.port != 0 ? ":" + std::to_string(options.port) : "") << '\n';
    return 2;
  }
  std::thread listening([&server] { server.listen_after_bind(); });
  out << "play: live at http://127.0.0.1:" << port << "/ (Ctrl-C ends it; the session goes to "
      << session_file << ")" << std::endl;

  interrupted = false;
  std::signal(SIGINT, [](int) { interrupted = true; });
  std::signal(SIGTERM, [](int) { interrupted = true; });
  sim::install_crash_reports();
  const sim::Watchdog watchdog(options.watchdog);
  std::ostringstream errors;
  const int status = run_steps(host, scenario, plugins, {&recorder, &source}, errors, &source);
  source.end_session();
  session.flush();
  server.stop();
  listening.join();
  out << errors.str() << "play: the session is in " << session_file << std::endl;
  return status;
}

}  // namespace play
