#pragma once
// Who sits on or in what: vehicles' seats and mounts' saddles. The seat
// -1 is the driver's or the rider's; passengers take 0 and up.

#include <cstdint>
#include <map>

namespace sim {

class World;

struct Seat {
  int32_t vehicle = 0;  // the vehicle or the mount
  int seat = -1;
  bool mount = false;
};

struct Vehicles {
  std::map<int32_t, Seat> seated;           // a ped: what it sits on or in
  std::map<int32_t, int32_t> last_vehicle;  // a ped: the vehicle it was last in
  int32_t saddle_horse = 0;                 // the horse the player last rode

  const Seat* seat_of(int32_t ped) const;
  int32_t in_seat(int32_t vehicle, int seat) const;  // the ped there, or 0
};

// Puts a ped in a seat, taking it off whatever it sat on; false when the
// seat is taken or either is gone.
bool seat_ped(World& w, int32_t ped, int32_t vehicle, int seat, bool mount);
void unseat_ped(World& w, int32_t ped);
// Each frame: who sits follows what he sits on.
void carry_riders(World& w);

}  // namespace sim
