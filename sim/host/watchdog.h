#pragma once
// The watchdog: a script turn that does not yield within its limit of wall
// time, or a plug-in's load, unload or keyboard handler that does not return
// within it, ends the run with exit status 1 and a report. Such a script can never
// be resumed (it runs on the host's own thread), so the watchdog's thread
// reports it and ends the process.

#if !defined(_WIN32)
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace sim {

class Watchdog {
 public:
  // Watches every script turn from now until destroyed; 0 or less: none.
  explicit Watchdog(double seconds);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  static constexpr double default_seconds = 5.0;

 private:
  void watch();
  // Ends the run, unless the turn yields after all while it waits.
  void bite();

  // Waits up to `ms` for the stop; true when stopped.
  bool stopped_within(long long ms);

  double seconds_;
#if defined(_WIN32)
  // The Windows build's threads are the system's own (mingw's win32 model).
  void* stop_event_ = nullptr;
  void* thread_ = nullptr;
#else
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::thread thread_;
#endif
};

}  // namespace sim
