#pragma once
// The game's clock: the time of day and the date. It stands still unless a
// scenario, a test or a plug-in sets it, so a run's time of day is the one
// it chose.

namespace sim {

struct Clock {
  int hour = 12;
  int minute = 0;
  int second = 0;
  int day = 1;    // of the month, from 1
  int month = 5;  // from 0 (January), as the game counts them
  int year = 1899;

  void set_time(int h, int m, int s);             // each wrapped into its range
  void set_date(int d, int m, int y);             // a day past the month's end is its last
  void add(int hours, int minutes, int seconds);  // carries into the date
  int day_of_week() const;                        // 0 is Sunday
  int days_in_month() const;
};

}  // namespace sim
