// The game's clock: time of day, date, and their natives.

#include <algorithm>

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
  if (game_ms_ < 1000) return;
  add(0, 0, static_cast<int>(game_ms_ / 1000));
  game_ms_ %= 1000;
}

int Clock::day_of_week() const {
  // Sakamoto's method, on the proleptic Gregorian calendar.
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int m = wrap(month, 12);
  const int y = m < 2 ? year - 1 : year;
  return wrap(y + y / 4 - y / 100 + y / 400 + offsets[m] + day, 7);
}

NativeRows clock_native_rows() {
  static const NativeRow rows[] = {
      {0xAB7C251C7701D336, "ADD_TO_CLOCK_TIME", "iii", 'v',
       [](World& w, NativeCall& c) { w.clock.add(c.i(0), c.i(1), c.i(2)); }},
      {0xDF2FD796C54480A5, "GET_CLOCK_DAY_OF_MONTH", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.day); }},
      {0x4DD02D4C7FB30076, "GET_CLOCK_DAY_OF_WEEK", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.day_of_week()); }},
      {0xC82CF208C2B19199, "GET_CLOCK_HOURS", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.hour); }},
      {0x4E162231B823DBBF, "GET_CLOCK_MINUTES", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.minute); }},
      {0x2D44E8FC79EAB1AC, "GET_CLOCK_MONTH", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.month); }},
      {0xB6101ABE62B5F080, "GET_CLOCK_SECONDS", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.second); }},
      {0xE136DCA28C4A48BA, "GET_CLOCK_YEAR", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.clock.year); }},
      {0x02AD3092562941E2, "SET_CLOCK_DATE", "iii", 'v',
       [](World& w, NativeCall& c) { w.clock.set_date(c.i(0), c.i(1), c.i(2)); }},
      {0x3A52C59FFB2DEED8, "SET_CLOCK_TIME", "iii", 'v',
       [](World& w, NativeCall& c) { w.clock.set_time(c.i(0), c.i(1), c.i(2)); }},
      {0x4D1A590C92BF377E, "PAUSE_CLOCK", "ba", 'v',
       [](World& w, NativeCall& c) { w.clock.paused = c.b(0); }},
      {0x568D998A9FF96774, "_PAUSE_CLOCK_THIS_FRAME", "b", 'v',
       [](World& w, NativeCall& c) { w.clock.paused_this_frame = c.b(0); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
