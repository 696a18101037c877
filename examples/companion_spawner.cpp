// A companion, weapon and camera mod, as modders publish them. F5 spawns a
// horse beside the player with a rider on it who follows him, both
// invincible; F6 gives the player a revolver in hand; F7 puts a script
// camera behind the rider and F7 again gives the view back. Each pass it
// draws an overlay: what the player holds, whether he stands still, and
// the animals in the ped pool.

#include <string>

#include "entry.h"
#include "natives.h"
#include "old_text.h"

namespace {

using Cam = int32_t;

constexpr DWORD key_f5 = 0x74;
constexpr DWORD key_f6 = 0x75;
constexpr DWORD key_f7 = 0x76;

// The natives beyond the toolkit's wrappers, by hash, as such mods call them.
namespace hash {
constexpr uint64_t is_model_in_cdimage = 0xD6F3B6D7716CFF8E;
constexpr uint64_t offset_in_world = 0x1899F328B0E12848;
constexpr uint64_t create_ped_on_mount = 0xF89AA2BD01FC06B7;
constexpr uint64_t set_entity_invincible = 0xA5C38736C426FCB8;
constexpr uint64_t random_outfit = 0x283978A15512B2FE;
constexpr uint64_t get_player_group = 0x9BAB31815159ABCF;
constexpr uint64_t set_ped_as_group_member = 0x9F3480FE65DB31B5;
constexpr uint64_t model_no_longer_needed = 0x4AD96EF928BD4F9A;
constexpr uint64_t give_weapon = 0x5E3BDDBCB83F3D84;
constexpr uint64_t set_current_weapon = 0xADF692B254977C0C;
constexpr uint64_t current_weapon = 0x3A87E44BB9A01D54;
constexpr uint64_t is_ped_still = 0xAC29253EEF8F0180;
constexpr uint64_t is_ped_human = 0xB980061DA992779D;
constexpr uint64_t create_cam_with_params = 0x40C23491CE83708E;
constexpr uint64_t attach_cam = 0xFDC0DF7F6FB0A592;
constexpr uint64_t point_cam_at_entity = 0xFC2867E6074D3A61;
constexpr uint64_t set_cam_active = 0x87295BCA613800C8;
constexpr uint64_t render_script_cams = 0x33281167E4942E4F;
constexpr uint64_t destroy_cam = 0x4E67E0B6D7FD5145;
constexpr uint64_t draw_rect = 0x405224591DF02025;
}  // namespace hash

constexpr const char* horse_model = "a_c_horse_morgan_bay";
constexpr const char* rider_model = "g_m_m_unicriminals_01";
constexpr const char* revolver = "WEAPON_REVOLVER_CATTLEMAN";

int player_id() { return invoke<int>(0x217E9DC48139933D); }

bool pressed[256];

struct Mod {
  Ped horse = 0;
  Ped rider = 0;
  Cam cam = 0;
};
Mod mod;

void on_key(DWORD key, WORD /*repeats*/, BYTE /*scan_code*/, BOOL /*extended*/, BOOL /*alt*/,
            BOOL was_down, BOOL is_up) {
  if (key < 256 && !was_down && !is_up) pressed[key] = true;
}

bool take(DWORD key) {
  const bool was = pressed[key];
  pressed[key] = false;
  return was;
}

// A model the game has, loaded; 0 when it has no such model.
Hash load(const char* name) {
  const Hash model = get_hash_key(name);
  if (!invoke<bool>(hash::is_model_in_cdimage, model) || !is_model_valid(model)) return 0;
  request_model(model, false);
  while (!has_model_loaded(model)) scriptWait(0);
  return model;
}

void spawn_companion() {
  if (does_entity_exist(mod.horse)) return;
  const Hash horse = load(horse_model);
  const Hash rider = load(rider_model);
  if (horse == 0 || rider == 0) return;
  const Ped me = player_ped_id();
  const Vector3 beside = invoke<Vector3>(hash::offset_in_world, me, 3.0f, 0.0f, 0.0f);
  mod.horse = create_ped(horse, beside.x, beside.y, beside.z, get_entity_heading(me), false, false,
                         false, false);
  mod.rider =
      invoke<Ped>(hash::create_ped_on_mount, mod.horse, rider, -1, false, false, false, false);
  for (Ped p : {mod.horse, mod.rider}) {
    set_entity_as_mission_entity(p, true, true);
    invoke(hash::set_entity_invincible, p, true);
    invoke(hash::random_outfit, p, true);
  }
  // Mods send the group as 64 bits wide: a -1 would go out sign-extended.
  const int64_t group = invoke<int>(hash::get_player_group, player_id());
  invoke(hash::set_ped_as_group_member, mod.rider, group);
  invoke(hash::model_no_longer_needed, horse);
  invoke(hash::model_no_longer_needed, rider);
}

void arm_player() {
  const Ped me = player_ped_id();
  const Hash weapon = get_hash_key(revolver);
  invoke<Hash>(hash::give_weapon, me, weapon, 12, true, false, 0, false, 0.5f, 1.0f, 0u, false,
               0.0f, false);
  invoke(hash::set_current_weapon, me, weapon, true, 0, false, false);
}

void toggle_camera() {
  if (mod.cam != 0) {
    invoke(hash::render_script_cams, false, false, 0, true, false, 0);
    invoke(hash::destroy_cam, mod.cam, false);
    mod.cam = 0;
    return;
  }
  if (!does_entity_exist(mod.rider)) return;
  mod.cam = invoke<Cam>(hash::create_cam_with_params, "DEFAULT_SCRIPTED_CAMERA", 0.0f, 0.0f, 0.0f,
                        0.0f, 0.0f, 0.0f, 50.0f, false, 0);
  invoke(hash::attach_cam, mod.cam, mod.rider, 0.0f, -4.0f, 2.0f, true);
  invoke(hash::point_cam_at_entity, mod.cam, mod.rider, 0.0f, 0.0f, 0.0f, true);
  invoke(hash::set_cam_active, mod.cam, true);
  invoke(hash::render_script_cams, true, false, 0, true, false, 0);
}

int animals_in_pool() {
  static int handles[256];
  const int count = worldGetAllPeds(handles, 256);
  int animals = 0;
  for (int n = 0; n < count; ++n) {
    if (!invoke<bool>(hash::is_ped_human, handles[n])) ++animals;
  }
  return animals;
}

void draw_line(const std::string& text, float y) {
  set_text_scale(0.0f, 0.3f);
  set_text_color(255, 255, 255, 255);
  // Every line is coloured through the formatter, as such mods draw text.
  display_text(var_string(42, "COLOR_STRING", 0, text.c_str()), 0.05f, y);
}

void draw_overlay() {
  invoke(hash::draw_rect, 0.12f, 0.1f, 0.22f, 0.14f, 0, 0, 0, 160, false, false);
  Hash held = 0;
  invoke<bool>(hash::current_weapon, player_ped_id(), &held, false, 0, false);
  const bool revolver_held = held == get_hash_key(revolver);
  draw_line(std::string("weapon: ") + (revolver_held ? "revolver" : "none"), 0.05f);
  draw_line("still: " + std::to_string(invoke<bool>(hash::is_ped_still, player_ped_id()) ? 1 : 0),
            0.08f);
  draw_line("animals: " + std::to_string(animals_in_pool()), 0.11f);
}

void mod_main() {
  for (;;) {
    if (take(key_f5)) spawn_companion();
    if (take(key_f6)) arm_player();
    if (take(key_f7)) toggle_camera();
    draw_overlay();
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) {
  scriptRegister(module, mod_main);
  keyboardHandlerRegister(on_key);
}

void on_detach(HMODULE module) {
  scriptUnregister(module);
  keyboardHandlerUnregister(on_key);
}
