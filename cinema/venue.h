#pragma once
// The theater: its seated audience, whether the player is inside, and the
// seat operations that the audience and the player's own chair share.

#include <cstdint>

#include "state.h"

struct AudienceSeat {
  float anchor_x;
  float anchor_y;
  float seat_dx;
  float seat_dy;
  const char* ped_model;
};

extern const AudienceSeat audience_seats[audience_size];

// A chair, a seat point on it, and a townsfolk ped sent to sit there.
Ped spawn_audience_seat(const AudienceSeat& row, SeatProps& props);

// Deletes a seat's point and chair.
void remove_seat_props(SeatProps& props);

// Stops the ped's speech if it is talking.
void hush_audience_member(Ped ped);

// Whether the player's ped is inside the theater's interior now.
bool player_in_theater();

Vector3 read_entity_position(Entity entity, bool flag);
Vector3 world_to_entity_offset(Entity entity, float x, float y, float z);
int32_t create_seat_scenario(Object object, Hash scenario, float x, float y, float z);
void use_seat_scenario(Ped ped, int32_t point, bool flag);
void chair_settings(Object chair);
