#include "venue.h"

#include "entities.h"
#include "natives.h"

constexpr float anchor_z = cinema_site::seat.z;  // the rows stand level with the player's chair

const AudienceSeat audience_seats[audience_size] = {
    {-3605.7776f, -2645.091f, +0.5f, +0.5f, cinema_site::audience_models[0]},
    {-3605.7776f, -2645.091f, -0.5f, -0.5f, cinema_site::audience_models[2]},
    {-3607.0051f, -2643.8394f, 0.0f, 0.0f, cinema_site::audience_models[1]},
    {-3610.056f, -2646.5576f, 0.0f, 0.0f, cinema_site::audience_models[0]},
    {-3607.3955f, -2649.1697f, -0.5f, -0.5f, cinema_site::audience_models[0]},
    {-3607.3955f, -2649.1697f, +0.5f, +0.5f, cinema_site::audience_models[2]},
    {-3604.4858f, -2646.418f, 0.0f, 0.0f, cinema_site::audience_models[2]},
};

Vector3 read_entity_position(Entity entity, bool flag) {
  return get_entity_coords(entity, flag, false);
}

Vector3 world_to_entity_offset(Entity entity, float x, float y, float z) {
  return get_offset_from_entity_given_world_coords(entity, x, y, z);
}

int32_t create_seat_scenario(Object object, Hash scenario, float x, float y, float z) {
  return create_scenario_point_hash_attached_to_entity(object, scenario, x, y, z, -135.1959f, 0, 0,
                                                       true);
}

void use_seat_scenario(Ped ped, int32_t point, bool flag) {
  task_use_scenario_point(ped, point, "PROP_HUMAN_SEAT_CHAIR_SMOKING", -1, flag, false, 0, false,
                          -1.0f, false);
}

void chair_settings(Object chair) {
  freeze_entity_position(chair, true);
  set_can_auto_vault_on_entity(chair, false);
  set_can_climb_on_entity(chair, false);
}

Ped spawn_audience_seat(const AudienceSeat& row, SeatProps& props) {
  Vector3 p{row.anchor_x, row.anchor_y, anchor_z};
  const Object chair = spawn_object(get_hash_key(cinema_site::chair_model), &p);
  props.chair = chair;
  chair_settings(chair);
  p = read_entity_position(chair, false);
  const Vector3 offset =
      world_to_entity_offset(chair, p.x + row.seat_dx, p.y + row.seat_dy, p.z + 0.5f);
  const int32_t point = create_seat_scenario(chair, get_hash_key("PROP_HUMAN_SEAT_CHAIR"), offset.x,
                                             offset.y, offset.z);
  props.point = point;
  // Made at the anchor; the seat task takes it to its seat.
  const Ped ped = spawn_ped(get_hash_key(row.ped_model), row.anchor_x, row.anchor_y, anchor_z);
  dress_at_random(ped);
  set_scenario_point_active(point, true);
  use_seat_scenario(ped, point, false);
  return ped;
}

void remove_seat_props(SeatProps& props) {
  if (does_scenario_point_exist(props.point)) delete_scenario_point(props.point);
  props.point = 0;
  delete_entity(&props.chair);
}

void hush_audience_member(Ped ped) {
  if (!is_any_speech_playing(ped)) return;
  stop_current_playing_speech(ped, 0);
  stop_current_playing_ambient_speech(ped, 0);
}

// The interior the player was last found in, as the game reported it.
static int32_t interior_id = 0;
static Hash interior_name_hash = 0;
static bool in_theater = false;

bool player_in_theater() {
  static Vector3 interior_position{0.0f, 0.0f, 0.0f};
  const Ped ped = player_ped_id();
  interior_id = get_interior_from_entity(ped);
  // The query writes nothing for "no interior"; a name left from an earlier
  // call would keep the player inside after he walked out.
  interior_name_hash = 0;
  get_interior_location_and_namehash(interior_id, &interior_position, &interior_name_hash);
  in_theater = interior_name_hash == get_hash_key(cinema_site::interior);
  return in_theater;
}
