// The game's clock: time of day, date, and their natives.

#include <algorithm>

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

int wrap(int value, int range) { return ((value % range) + range) % range; }

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

int Clock::days_in_month() const {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int m = wrap(month, 12);
  return m == 1 && leap(year) ? 29 : days[m];
}

void Clock::set_time(int h, int m, int s) {
  hour = wrap(h, 24);
  minute = wrap(m, 60);
  second = wrap(s, 60);
}

void Clock::set_date(int d, int m, int y) {
  month = wrap(m, 12);
  year = y;
  day = std::clamp(d, 1, days_in_month());
}

void Clock::add(int hours, int minutes, int seconds) {
  // In seconds of a day, carried a day at a time: a plug-in adds at most
  // some days.
  long long total = ((static_cast<long long>(wrap(hour, 24)) * 60 + minute) * 60 + second) +
                    (static_cast<long long>(hours) * 60 + minutes) * 60 + seconds;
  constexpr long long day_seconds = 24LL * 60 * 60;
  long long days = total >= 0 ? total / day_seconds : -((-total + day_seconds - 1) / day_seconds);
  total -= days * day_seconds;
  hour = static_cast<int>(total / 3600);
  minute = static_cast<int>(total / 60 % 60);
  second = static_cast<int>(total % 60);
  days = std::clamp(days, -100000LL, 100000LL);
  for (; days > 0; --days) {
    if (++day > days_in_month()) {
      day = 1;
      if (++month == 12) {
        month = 0;
        ++year;
      }
    }
  }
  for (; days < 0; ++days) {
    if (--day < 1) {
      if (--month < 0) {
        month = 11;
        --year;
      }
      day = days_in_month();
    }
  }
}

void Clock::pass(uint64_t frame_ms) {
  const bool still = paused || paused_this_frame;
  paused_this_frame = false;
  if (still) return;
  game_ms_ += frame_ms * pace;
  // An hour out of range is a fault's reading: the clock runs on after it.
  if (game_ms_ < 1000 || hour < 0 || hour > 23) return;
  const auto seconds = static_cast<int>(game_ms_ / 1000);
  game_ms_ %= 1000;
  if (second + seconds < 60) {  // the common case, without the carry
    second += seconds;
    return;
  }
  add(0, 0, seconds);
}

int Clock::day_of_week() const {
  // Sakamoto's method, on the proleptic Gregorian calendar.
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int m = wrap(month, 12);
  const int y = m < 2 ? year - 1 : year;
  return wrap(y + y / 4 - y / 100 + y / 400 + offsets[m] + day, 7);
}

NativeRows clock_native_rows() {
  static const DomainRow rows[] = {
      {Native::ADD_TO_CLOCK_TIME,
       [](World& w, NativeCall& c) { w.clock.add(c.i(0), c.i(1), c.i(2)); }},
      {Native::GET_CLOCK_DAY_OF_MONTH, [](World& w, NativeCall& c) { c.ret_int(w.clock.day); }},
      {Native::GET_CLOCK_DAY_OF_WEEK,
       [](World& w, NativeCall& c) { c.ret_int(w.clock.day_of_week()); }},
      {Native::GET_CLOCK_HOURS, [](World& w, NativeCall& c) { c.ret_int(w.clock.hour); }},
      {Native::GET_CLOCK_MINUTES, [](World& w, NativeCall& c) { c.ret_int(w.clock.minute); }},
      {Native::GET_CLOCK_MONTH, [](World& w, NativeCall& c) { c.ret_int(w.clock.month); }},
      {Native::GET_CLOCK_SECONDS, [](World& w, NativeCall& c) { c.ret_int(w.clock.second); }},
      {Native::GET_CLOCK_YEAR, [](World& w, NativeCall& c) { c.ret_int(w.clock.year); }},
      {Native::SET_CLOCK_DATE,
       [](World& w, NativeCall& c) { w.clock.set_date(c.i(0), c.i(1), c.i(2)); }},
      {Native::SET_CLOCK_TIME,
       [](World& w, NativeCall& c) { w.clock.set_time(c.i(0), c.i(1), c.i(2)); }},
      {Native::PAUSE_CLOCK, [](World& w, NativeCall& c) { w.clock.paused = c.b(0); }},
      {Native::PAUSE_CLOCK_THIS_FRAME_,
       [](World& w, NativeCall& c) { w.clock.paused_this_frame = c.b(0); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
