// What peds are told to do: each task is kept as the ped's latest, in
// words, with what it acts on; sequences gather tasks to be given as one;
// and how fast a ped moves on foot.

#include <cmath>
#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

std::string entity_text(int32_t handle) { return "entity " + std::to_string(handle); }

std::string point_text(float x, float y, float z) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.2f, %.2f, %.2f)", static_cast<double>(x),
                static_cast<double>(y), static_cast<double>(z));
  return text;
}

std::string anim_task(const char* dictionary, const char* name) {
  return std::string("play anim \"") + dictionary + "\" \"" + name + '"';
}

void play_anim(World& w, NativeCall& c) { tell(w, c.i(0), anim_task(c.s(1), c.s(2))); }

void combat(World& w, NativeCall& c) {
  if (PedActivity* a = tell(w, c.i(0), "combat " + entity_text(c.i(1)))) {
    a->combat_target = c.i(1);
  }
}

void flee(World& w, NativeCall& c) {
  if (PedActivity* a = tell(w, c.i(0), "flee " + entity_text(c.i(1)))) a->fleeing = true;
}

void face(World& w, NativeCall& c) {
  if (tell(w, c.i(0), "turn to face " + entity_text(c.i(1))) == nullptr) return;
  EntityState* e = w.live_entity(c.i(0));
  const EntityState* target = w.live_entity(c.i(1));
  if (e == nullptr || target == nullptr) return;
  const float dx = target->position.x - e->position.x;
  const float dy = target->position.y - e->position.y;
  if (dx == 0.0f && dy == 0.0f) return;
  // Heading 0 faces north (+y) and grows anticlockwise.
  e->rotation.z = std::atan2(-dx, dy) * 180.0f / 3.14159265f;
}

void open_sequence(World& w, NativeCall& c) {
  const int id = w.peds.next_sequence++;
  w.peds.sequences[id].clear();
  w.peds.open_sequence = id;
  *c.p<int32_t>(0) = id;
}

void perform_sequence(World& w, NativeCall& c) {
  const auto it = w.peds.sequences.find(c.i(1));
  if (it == w.peds.sequences.end() || w.peds.open_sequence == c.i(1)) return;
  const std::vector<std::string> steps = it->second;
  PedActivity* a = tell(w, c.i(0), "sequence " + std::to_string(c.i(1)));
  if (a == nullptr) return;
  a->tasks.insert(a->tasks.end(), steps.begin(), steps.end());
  a->sequence = c.i(1);
}

// Whether a ped moves on foot as fast as asked, from its speed.
template <Movement M>
void moving(World& w, NativeCall& c) {
  const EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr || e->kind != EntityKind::ped || is_dead(w, c.i(0))) return;
  if (w.vehicles.seat_of(c.i(0)) != nullptr) return;  // riding is not on foot
  c.ret_bool(movement_at(distance(e->velocity, Vec{})) == M);
}

}  // namespace

bool told_to_play(World& w, int32_t ped, const char* dictionary, const char* name) {
  const PedActivity* a = w.exists(ped) ? w.peds.find(ped) : nullptr;
  return a != nullptr && !a->tasks.empty() && a->tasks.back() == anim_task(dictionary, name);
}

Movement movement_at(float speed) {
  if (speed < 0.2f) return Movement::still;
  if (speed < 3.0f) return Movement::walking;
  if (speed < 5.5f) return Movement::running;
  return Movement::sprinting;
}

NativeRows tasks_native_rows() {
  static const DomainRow rows[] = {
      {Native::TASK_PLAY_ANIM, play_anim, changes(Thing::entity)},
      {Native::TASK_COMBAT_PED, combat, changes(Thing::entity)},
      {Native::IS_PED_IN_COMBAT,
       [](World& w, NativeCall& c) {
         const PedActivity* a = w.exists(c.i(0)) ? w.peds.find(c.i(0)) : nullptr;
         c.ret_bool(a != nullptr && a->combat_target != 0 &&
                    (c.i(1) == 0 || c.i(1) == a->combat_target) && w.exists(a->combat_target));
       }},
      {Native::TASK_FLEE_PED, flee, changes(Thing::entity)},
      {Native::TASK_SMART_FLEE_PED, flee, changes(Thing::entity)},
      {Native::TASK_WANDER_STANDARD, [](World& w, NativeCall& c) { tell(w, c.i(0), "wander"); },
       changes(Thing::entity)},
      {Native::TASK_STAND_STILL, [](World& w, NativeCall& c) { tell(w, c.i(0), "stand still"); },
       changes(Thing::entity)},
      {Native::TASK_GO_TO_COORD_ANY_MEANS,
       [](World& w, NativeCall& c) {
         tell(w, c.i(0), "go to " + point_text(c.f(1), c.f(2), c.f(3)));
       },
       changes(Thing::entity)},
      {Native::TASK_GO_STRAIGHT_TO_COORD,
       [](World& w, NativeCall& c) {
         tell(w, c.i(0), "go to " + point_text(c.f(1), c.f(2), c.f(3)));
       },
       changes(Thing::entity)},
      {Native::TASK_GO_TO_ENTITY,
       [](World& w, NativeCall& c) { tell(w, c.i(0), "go to " + entity_text(c.i(1))); },
       changes(Thing::entity)},
      {Native::TASK_FOLLOW_TO_OFFSET_OF_ENTITY,
       [](World& w, NativeCall& c) { tell(w, c.i(0), "follow " + entity_text(c.i(1))); },
       changes(Thing::entity)},
      {Native::TASK_TURN_PED_TO_FACE_ENTITY, face, changes(Thing::entity)},
      {Native::TASK_STAND_GUARD,
       [](World& w, NativeCall& c) {
         tell(w, c.i(0), "stand guard at " + point_text(c.f(1), c.f(2), c.f(3)));
       },
       changes(Thing::entity)},
      {Native::TASK_AIM_GUN_AT_ENTITY,
       [](World& w, NativeCall& c) { tell(w, c.i(0), "aim at " + entity_text(c.i(1))); },
       changes(Thing::entity)},
      {Native::CLEAR_PED_TASKS_IMMEDIATELY,
       [](World& w, NativeCall& c) {
         const EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || e->kind != EntityKind::ped) return;
         leave_point(w, c.i(0));
         unseat_ped(w, c.i(0));  // at once, even out of a saddle or a seat
         PedActivity& a = w.peds.get(c.i(0));
         a.scenario = 0;
         a.tasks.clear();
         a.combat_target = 0;
         a.sequence = 0;
         a.fleeing = false;
       },
       changes(Thing::entity)},

      // Sequences: tasks given to ped 0 while one is open belong to it.
      {Native::OPEN_SEQUENCE_TASK, open_sequence},
      {Native::CLOSE_SEQUENCE_TASK,
       [](World& w, NativeCall& c) {
         if (w.peds.open_sequence == c.i(0)) w.peds.open_sequence = 0;
       }},
      {Native::TASK_PERFORM_SEQUENCE, perform_sequence, changes(Thing::entity)},
      {Native::CLEAR_SEQUENCE_TASK,
       [](World& w, NativeCall& c) {
         auto* id = c.p<int32_t>(0);
         w.peds.sequences.erase(*id);
         if (w.peds.open_sequence == *id) w.peds.open_sequence = 0;
         *id = 0;
       }},
      {Native::GET_SEQUENCE_PROGRESS,
       [](World& w, NativeCall& c) {
         const PedActivity* a = w.exists(c.i(0)) ? w.peds.find(c.i(0)) : nullptr;
         c.ret_int(a != nullptr && a->sequence != 0 ? 0 : -1);
       }},

      // On foot: still, walking, running or sprinting, by its speed.
      {Native::IS_PED_STILL, moving<Movement::still>},
      {Native::IS_PED_WALKING, moving<Movement::walking>},
      {Native::IS_PED_RUNNING, moving<Movement::running>},
      {Native::IS_PED_SPRINTING, moving<Movement::sprinting>},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
