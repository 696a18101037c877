#include "watchdog.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "crash_report.h"
#include "native_words.h"
#include "reference_natives.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace sim {

#if defined(_WIN32)

Watchdog::Watchdog(double seconds) : seconds_(seconds) {
  if (seconds_ <= 0) return;
  stop_event_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  // A new thread first passes through the loader; one that had not yet
  // would wait for ever behind a plug-in's DllMain that never returns.
  void* started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  struct Start {
    Watchdog* self;
    void* started;
  } start{this, started};
  thread_ = CreateThread(
      nullptr, 0,
      [](void* parameter) -> DWORD {
        const Start s = *static_cast<Start*>(parameter);
        SetEvent(s.started);
        s.self->watch();
        return 0;
      },
      &start, 0, nullptr);
  WaitForSingleObject(started, INFINITE);
  CloseHandle(started);
}

Watchdog::~Watchdog() {
  if (thread_ == nullptr) return;
  SetEvent(stop_event_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(stop_event_);
}

bool Watchdog::stopped_within(long long ms) {
  return WaitForSingleObject(stop_event_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

#else

Watchdog::Watchdog(double seconds) : seconds_(seconds) {
  if (seconds_ > 0) thread_ = std::thread([this] { watch(); });
}

Watchdog::~Watchdog() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

bool Watchdog::stopped_within(long long ms) {
  std::unique_lock lock(mutex_);
  return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_; });
}

#endif

void Watchdog::watch() {
  const auto limit = static_cast<int64_t>(std::llround(seconds_ * 1e9));
  // A tenth of the limit, so that it bites at most 10% late.
  const long long poll_ms = std::clamp<long long>(limit / 10'000'000, 1, 100);
  const RunningTurn& turn = running_turn();
  while (!stopped_within(poll_ms)) {
    const int64_t started = turn.started_ns.load(std::memory_order_acquire);
    if (started == 0 || turn_clock_ns() - started < limit) continue;
    if (turn.started_ns.load(std::memory_order_acquire) != started) continue;  // it just yielded
    bite();
  }
}

void Watchdog::bite() {
  static char headline[160];
  if (running_turn().plugin_code.load(std::memory_order_acquire)) {
    std::snprintf(headline, sizeof headline, "watchdog: %s did not return within %g s of wall time",
                  running_subject(), seconds_);
    end_run_with_report(headline, "  why:          the host waits on it, and the game with it\n");
  }
  std::snprintf(headline, sizeof headline,
                "watchdog: a script's turn did not yield within %g s of wall time", seconds_);
  RunningTurn& turn = running_turn();
  if (turn.bitten_ns.load(std::memory_order_acquire) == RunningTurn::bite_taken) return;
  const bool timer =
      turn.last_native.load(std::memory_order_relaxed) == facts_of(Native::GET_GAME_TIMER).hash;
  const char* details =
      timer ? "  why:          its last call read the game timer, which moves only between "
              "frames: a wait inside one turn never ends; wait with scriptWait\n"
            : "  why:          it runs without calling scriptWait\n";
  // A script that still calls natives is ended at its next one, on the
  // game's thread, so the timeline and the page go on to this frame; one
  // that calls none is ended from here.
  turn.bitten_headline = headline;
  turn.bitten_details = details;
  int64_t bitten = turn.started_ns.load(std::memory_order_acquire);
  turn.bitten_ns.store(bitten, std::memory_order_release);
  // As long as the limit itself, up to 2 s: the game's thread may be busy
  // for a while within a call (a journal of millions of calls grows), or
  // not scheduled at all on a loaded machine, before its next native.
  const bool yielded =
      stopped_within(std::clamp<long long>(std::llround(seconds_ * 1000), 200, 2000)) ||
      turn.started_ns.load(std::memory_order_acquire) != bitten;
  // Taken back only if the game's thread has not taken it meanwhile.
  if (!turn.bitten_ns.compare_exchange_strong(bitten, 0, std::memory_order_acq_rel)) return;
  if (yielded) return;
  end_run_with_report(headline, details);
}

}  // namespace sim
