#include "trace.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "waits.h"

namespace play {

using nlohmann::json;

// An argument as JSON: numbers as numbers, texts as texts, addresses as
// what they point to.
static json argument(const sim::CallRecord& r, size_t n) {
  const sim::CallArg& a = r.args[n];
  switch (a.kind) {
    case 'f':
      return sim::CallRecord::as_float(a.raw);
    case 's':
    case 'z':
      return a.raw == 0 ? json() : json(a.text);
    case 'p':
    case 'h':
      return r.argument_text(n);
    case 'x':
      return static_cast<int64_t>(a.raw);
    case 'a':
      if ((a.raw >> 32) != 0) return sim::hex_text(a.raw);
      return static_cast<int32_t>(static_cast<uint32_t>(a.raw));
    default:
      return static_cast<int32_t>(static_cast<uint32_t>(a.raw));
  }
}

static json result(const sim::CallRecord& r) {
  switch (r.result_kind()) {
    case 'v':
      return json();
    case 'f':
      return sim::CallRecord::as_float(r.result[0]);
    case 'V':
      return json::array({sim::CallRecord::as_float(r.result[0]),
                          sim::CallRecord::as_float(r.result[1]),
                          sim::CallRecord::as_float(r.result[2])});
    case 's':
      return r.result[0] == 0 ? json() : json(r.result_text);
    default:
      return static_cast<int32_t>(static_cast<uint32_t>(r.result[0]));
  }
}

void Trace::write(const std::string& event) {
  out_ << (first_ ? "\n" : ",\n") << event;
  first_ = false;
}

void Trace::slice(const char* category, const std::string& name, int64_t from, int64_t to,
                  const std::string& args) {
  write(R"({"ph":"X","pid":1,"tid":1,"cat":")" + std::string(category) + R"(","name":)" +
        json(name).dump() + R"(,"ts":)" + std::to_string(from) + R"(,"dur":)" +
        std::to_string(to - from) + R"(,"args":)" + args + "}");
}

void Trace::begin(const PlayContext& context, sim::World& world) {
  start_ms_ = world.elapsed_ms();  // the scenario's own clock: the game timer may jump
  out_ << R"({"displayTimeUnit":"ms","otherData":{"scenario":)"
       << json(context.scenario.file).dump()
       << R"(,"clock":"game time since the scenario began"},"traceEvents":[)";
  const std::string process =
      context.deliverable.name.empty() ? "plug-in" : context.deliverable.name;
  write(R"({"ph":"M","pid":1,"name":"process_name","args":{"name":)" + json(process).dump() + "}}");
  write(R"({"ph":"M","pid":1,"tid":1,"name":"thread_name","args":{"name":"script"}})");
}

void Trace::call(const sim::CallRecord& r, int64_t ts) {
  json args = json::array();
  for (size_t n = 0; n < r.args.size(); ++n) args.push_back(argument(r, n));
  json event = {
      {"ph", "X"},        {"pid", 1},
      {"tid", 1},         {"cat", "native"},
      {"name", r.name()}, {"ts", ts},
      {"dur", 1},         {"args", {{"hash", sim::hex_text(r.hash)}, {"arguments", args}}}};
  if (r.result_kind() != 'v') event["args"]["result"] = result(r);
  write(event.dump());
}

void Trace::resume(int64_t ts) {
  if (waiting_ && resumed_at_ < 0) resumed_at_ = ts;
}

void Trace::wait_over() {
  if (!waiting_) return;
  waiting_ = false;
  slice("wait", wait_what_, wait_from_, resumed_at_, "{}");
}

void Trace::wait_seen(const sim::WaitRecord& wait, sim::World& world, int64_t ts) {
  const WaitKind kind = classify_wait(wait, world);
  if (waiting_ && kind.inside_pass && wait.ms == 0 && "wait for " + kind.what == wait_what_) {
    resumed_at_ = -1;
    return;
  }
  resume(ts);
  wait_over();
  if (!in_pass_) {
    in_pass_ = true;
    pass_from_ = ts;
    pass_frame_ = wait.frame;
  }
  if (kind.inside_pass) {
    waiting_ = true;
    wait_what_ =
        wait.ms > 0 ? "pause of " + std::to_string(wait.ms) + " ms" : "wait for " + kind.what;
    wait_from_ = ts;
    resumed_at_ = -1;
    return;
  }
  slice("pass", "pass", pass_from_, ts + 1, R"({"frame":)" + std::to_string(pass_frame_) + "}");
  in_pass_ = false;
}

// What the host did (plug-ins loaded, scripts registered, globals handed out
// and written), each a moment on the script's track, among the frame's calls.
void Trace::host_events(int64_t base, size_t calls) {
  const auto& events = sim::Host::get().events();
  for (; events_seen_ < events.size(); ++events_seen_) {
    const sim::HostEvent& e = events[events_seen_];
    const int64_t ts = base + static_cast<int64_t>(std::min(e.calls_before, calls));
    write(R"({"ph":"X","pid":1,"tid":1,"dur":0,"cat":")" +
          std::string(e.kind == sim::HostEvent::Kind::global ? "global" : "host") + R"(","name":)" +
          json(e.text).dump() + R"(,"ts":)" + std::to_string(ts) + "}");
  }
}

void Trace::frame(const FrameView& view) {
  const auto base = static_cast<int64_t>(view.world.elapsed_ms() - start_ms_) * 1000;
  size_t next_wait = 0;
  for (size_t n = 0; n <= view.calls.size(); ++n) {
    const auto ts = base + static_cast<int64_t>(n);
    for (; next_wait < view.waits.size() && view.waits[next_wait].calls_before <= n; ++next_wait) {
      wait_seen(view.waits[next_wait], view.world, ts);
    }
    if (n == view.calls.size()) break;
    resume(ts);
    if (!in_pass_) {
      in_pass_ = true;
      pass_from_ = ts;
      pass_frame_ = view.world.frame();
    }
    call(view.calls[n], ts);
  }
  host_events(base, view.calls.size());
}

void Trace::end(sim::World& world) {
  const auto now = static_cast<int64_t>(world.elapsed_ms() - start_ms_) * 1000;
  host_events(now, 0);
  resume(now);
  wait_over();
  if (in_pass_) slice("pass", "pass (unfinished)", pass_from_, now + 1, "{}");
  out_ << "\n]}\n";
}

}  // namespace play
