#pragma once
// The game's clock: the time of day and the date. It runs at the game's
// pace, 30 game seconds to a second of frames, from the hour a scenario
// chose, unless a script pauses it.

#include <cstdint>

namespace sim {

struct Clock {
  int hour = 12;
  int minute = 0;
  int second = 0;
  int day = 1;    // of the month, from 1
  int month = 5;  // from 0 (January), as the game counts them
  int year = 1899;
  bool paused = false;             // PAUSE_CLOCK
  bool paused_this_frame = false;  // _PAUSE_CLOCK_THIS_FRAME, until the frame ends
  static constexpr int pace = 30;  // game seconds to a second of frames

  // The frame's time passes on the clock, but while it is paused.
  void pass(uint64_t frame_ms);

  void set_time(int h, int m, int s);             // each wrapped into its range
  void set_date(int d, int m, int y);             // a day past the month's end is its last
  void add(int hours, int minutes, int seconds);  // carries into the date
  int day_of_week() const;                        // 0 is Sunday
  int days_in_month() const;

 private:
  uint64_t game_ms_ = 0;  // of the clock's pace, not yet a whole second
};

}  // namespace sim
