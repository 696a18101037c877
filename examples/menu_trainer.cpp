// A menu trainer, as modders publish them: F4 opens and closes a menu drawn
// with the older headers' text natives on a box with a header sprite and a
// bar under the line chosen, NUMPAD8 and NUMPAD2 move through it
// and NUMPAD5 picks; as many menus do, it ignores keys for 150 ms after a
// press, timed with the system's tick count. It spawns a ped beside the
// player and deletes it again, counts the peds in the world with
// worldGetAllPeds, and counts the times the menu was opened in a script
// global.

#include <string>

#include "entry.h"
#include "natives.h"
#include "old_text.h"

namespace {

constexpr DWORD key_f4 = 0x73;
constexpr DWORD key_numpad2 = 0x62;
constexpr DWORD key_numpad5 = 0x65;
constexpr DWORD key_numpad8 = 0x68;

constexpr uint64_t draw_rect = 0x405224591DF02025;
constexpr uint64_t draw_sprite = 0xC9884ECADE94CB34;

constexpr int opened_global = 1000;
constexpr const char* ped_model = "a_m_m_valtownfolk_01";
constexpr const char* items[] = {"Spawn ped", "Delete ped"};
constexpr int item_count = 2;

// Keys pressed since the script last looked. The host calls the handler on
// the game's thread between script turns, so plain flags do.
bool pressed[256];

struct Menu {
  bool open = false;
  int selected = 0;
  Ped spawned = 0;
};
Menu menu;

void on_key(DWORD key, WORD /*repeats*/, BYTE /*scan_code*/, BOOL /*extended*/, BOOL /*alt*/,
            BOOL was_down, BOOL is_up) {
  if (key < 256 && !was_down && !is_up) pressed[key] = true;
}

// A press within this long of the last one taken is a bounce, not a press.
constexpr DWORD key_pause_ms = 150;
DWORD last_taken = 0;

bool take(DWORD key) {
  const bool was = pressed[key];
  pressed[key] = false;
  if (!was) return false;
  const DWORD now = GetTickCount();
  if (now - last_taken < key_pause_ms) return false;
  last_taken = now;
  return true;
}

void draw_line(const std::string& text, float y, bool title, bool highlighted) {
  set_text_scale(0.0f, title ? 0.5f : 0.35f);
  if (highlighted) {
    set_text_color(255, 220, 0, 255);
  } else {
    set_text_color(255, 255, 255, 255);
  }
  set_text_centre(true);
  set_text_dropshadow(2, 0, 0, 0, 255);
  display_text(text.c_str(), 0.5f, y);
}

int peds_in_world() {
  static int handles[256];
  return worldGetAllPeds(handles, 256);
}

uint64_t times_opened() {
  const uint64_t* global = getGlobalPtr(opened_global);
  return global != nullptr ? *global : 0;
}

void spawn_ped_beside_player() {
  if (does_entity_exist(menu.spawned)) return;
  const Hash model = get_hash_key(ped_model);
  request_model(model, false);
  while (!has_model_loaded(model)) scriptWait(0);
  const Vector3 at = get_entity_coords(player_ped_id(), true, true);
  menu.spawned = create_ped(model, at.x + 2.0f, at.y, at.z, 0.0f, false, false, false, false);
  set_entity_as_mission_entity(menu.spawned, true, true);
}

void delete_spawned_ped() {
  if (does_entity_exist(menu.spawned)) delete_ped(&menu.spawned);
}

// A rectangle or sprite, placed by its centre as the game places them.
void draw_box(float x, float y, float width, float height, int red, int green, int blue,
              int alpha) {
  invoke(draw_rect, x, y, width, height, red, green, blue, alpha, false, false);
}

void draw_menu() {
  draw_box(0.5f, 0.235f, 0.3f, 0.33f, 0, 0, 0, 180);
  invoke(draw_sprite, "generic_textures", "menu_header_1a", 0.5f, 0.12f, 0.3f, 0.08f, 0.0f, 255,
         255, 255, 255, false);
  draw_box(0.5f, 0.198f + 0.05f * static_cast<float>(menu.selected), 0.28f, 0.045f, 255, 220, 0,
           60);
  draw_line("Main menu", 0.1f, true, false);
  for (int n = 0; n < item_count; ++n) {
    const bool here = n == menu.selected;
    draw_line(std::string(here ? "> " : "") + items[n], 0.18f + 0.05f * n, false, here);
  }
  draw_line("Peds: " + std::to_string(peds_in_world()), 0.3f, false, false);
  draw_line("Opened " + std::to_string(times_opened()) + " times", 0.35f, false, false);
}

void trainer_main() {
  for (;;) {
    // Every key is taken each pass, so a key pressed with the menu shut
    // does nothing once it opens.
    const bool toggle = take(key_f4);
    const bool up = take(key_numpad8);
    const bool down = take(key_numpad2);
    const bool pick = take(key_numpad5);
    if (toggle) {
      menu.open = !menu.open;
      if (menu.open) {
        if (uint64_t* global = getGlobalPtr(opened_global)) ++*global;
      }
    }
    if (menu.open) {
      if (up) menu.selected = (menu.selected + item_count - 1) % item_count;
      if (down) menu.selected = (menu.selected + 1) % item_count;
      if (pick && menu.selected == 0) spawn_ped_beside_player();
      if (pick && menu.selected == 1) delete_spawned_ped();
      draw_menu();
    }
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) {
  scriptRegister(module, trainer_main);
  keyboardHandlerRegister(on_key);
}

void on_detach(HMODULE module) {
  scriptUnregister(module);
  keyboardHandlerUnregister(on_key);
}
