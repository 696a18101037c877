#pragma once
// One thin wrapper per game native the plug-ins call, named after the game's
// community name. The hash of each native is written here and nowhere else.

#include <cstdint>

#include "native_call.h"
#include "types.h"

// ANIMSCENE
inline void abort_anim_scene(int scene, bool flag) { invoke(0x718CF1328D20C2B3, scene, flag); }
inline int create_anim_scene(const char* text1, int value, const char* text2, bool flag1,
                             bool flag2) {
  return invoke<int>(0x1FCA98E33C1437B3, text1, value, text2, flag1, flag2);
}
inline void delete_anim_scene(int scene) { invoke(0x84EEDB2C6E650000, scene); }
inline bool does_anim_scene_exist(int scene) { return invoke<bool>(0x25557E324489393C, scene); }
inline bool is_anim_scene_loaded(int scene, bool flag1, bool flag2) {
  return invoke<bool>(0x477122B8D05E7968, scene, flag1, flag2);
}
inline void load_anim_scene(int scene) { invoke(0xAF068580194D9DC7, scene); }
inline bool request_anim_scene_play_list(int scene, const char* text) {
  return invoke<bool>(0xDF7B5144E25CD3FE, scene, text);
}
inline void set_anim_scene_entity(int scene, const char* text, Entity entity, int value) {
  invoke(0x8B720AD451CA2AB3, scene, text, entity, value);
}
inline void set_anim_scene_origin(int scene, float value1, float value2, float value3, float value4,
                                  float value5, float value6, int value7) {
  invoke(0x020894BF17A02EF2, scene, value1, value2, value3, value4, value5, value6, value7);
}
inline void set_anim_scene_play_list(int scene, const char* text, bool flag) {
  invoke(0x15598CFB25F3DC7E, scene, text, flag);
}

// AUDIO
inline bool is_any_speech_playing(Ped ped) { return invoke<bool>(0x729072355FA39EC9, ped); }
inline bool play_ped_ambient_speech_native(Ped ped, const SpeechRequest* request) {
  return invoke<bool>(0x8E04FEDD28D42462, ped, request);
}
inline void set_ambient_voice_name(Ped ped, const char* text) {
  invoke(0x6C8065A3B780185B, ped, text);
}
inline void stop_current_playing_ambient_speech(Ped ped, int value) {
  invoke(0xB8BEC0CA6F0EDB0F, ped, value);
}
inline void stop_current_playing_speech(Ped ped, int value) {
  invoke(0x79D2F0E66F81D90D, ped, value);
}

// CLOCK
inline int get_clock_hours() { return invoke<int>(0xC82CF208C2B19199); }

// ENTITY
inline void delete_entity(Entity* entity) { invoke(0x4CD38C78BD19A497, entity); }
inline bool does_entity_exist(Entity entity) { return invoke<bool>(0xD42BD6EB2E0F1677, entity); }
inline void freeze_entity_position(Entity entity, bool flag) {
  invoke(0x7D9EFB7AD6B19754, entity, flag);
}
inline float get_entity_anim_current_time(Entity entity, const char* text1, const char* text2) {
  return invoke<float>(0x627520389E288A73, entity, text1, text2);
}
inline Vector3 get_entity_coords(Entity entity, bool flag1, bool flag2) {
  return invoke<Vector3>(0xA86D5F069399F44D, entity, flag1, flag2);
}
inline float get_entity_heading(Entity entity) { return invoke<float>(0xC230DD956E2F5507, entity); }
inline Hash get_entity_model(Entity entity) { return invoke<Hash>(0xDA76A9F39210D365, entity); }
inline Vector3 get_entity_rotation(Entity entity, int value) {
  return invoke<Vector3>(0xE09CAF86C32CB48F, entity, value);
}
inline Object get_object_index_from_entity_index(Entity entity) {
  return invoke<Object>(0x280BBE5601EAA983, entity);
}
inline Vector3 get_offset_from_entity_given_world_coords(Entity entity, float value1, float value2,
                                                         float value3) {
  return invoke<Vector3>(0x497C6B1A2C9AE69C, entity, value1, value2, value3);
}
inline bool is_entity_dead(Entity entity) { return invoke<bool>(0x7D5B1F88E7504BBA, entity); }
inline bool is_entity_playing_anim(Entity entity, const char* text1, const char* text2, int value) {
  return invoke<bool>(0xDEE49D5CA6C49148, entity, text1, text2, value);
}
inline bool place_entity_on_ground_properly(Entity entity, bool flag) {
  return invoke<bool>(0x9587913B9E772D29, entity, flag);
}
inline void set_can_auto_vault_on_entity(Entity entity, bool flag) {
  invoke(0x80646744FA88F9D7, entity, flag);
}
inline void set_can_climb_on_entity(Entity entity, bool flag) {
  invoke(0x24AED2A608F93C4C, entity, flag);
}
inline void set_entity_alpha(Entity entity, int value, bool flag) {
  invoke(0x0DF7692B1D9E7BA7, entity, value, flag);
}
inline void set_entity_as_mission_entity(Entity entity, bool flag1, bool flag2) {
  invoke(0xDC19C288082E586E, entity, flag1, flag2);
}
inline void set_entity_coords(Entity entity, float value1, float value2, float value3, bool flag1,
                              bool flag2, bool flag3, bool flag4) {
  invoke(0x06843DA7060A026B, entity, value1, value2, value3, flag1, flag2, flag3, flag4);
}
inline void set_entity_rotation(Entity entity, float value1, float value2, float value3, int value4,
                                bool flag) {
  invoke(0x9CC8314DFEDE441E, entity, value1, value2, value3, value4, flag);
}
inline void set_entity_visible(Entity entity, bool flag) {
  invoke(0x1794B4FCC84D812F, entity, flag);
}

// GRAPHICS
inline void animpostfx_play(const char* text) { invoke(0x4102732DF6B4005F, text); }
inline void attach_tv_audio_to_entity(Entity entity) { invoke(0x40866A418EB8EFDE, entity); }
inline bool does_particle_fx_looped_exist(int value) {
  return invoke<bool>(0x9DD5AFF561E88F2A, value);
}
inline void draw_tv_channel(float value1, float value2, float value3, float value4, float value5,
                            int value6, int value7, int value8, int value9) {
  invoke(0xC0A145540254A840, value1, value2, value3, value4, value5, value6, value7, value8,
         value9);
}
inline int get_tv_channel() { return invoke<int>(0xF90FBFD68F3C59AE); }
inline bool is_tvshow_currently_playing(Hash hash) {
  return invoke<bool>(0x4D562223E0EB65F3, hash);
}
inline void set_particle_fx_looped_scale(int value1, float value2) {
  invoke(0x1A9E1C0D98D093B7, value1, value2);
}
inline void set_script_gfx_draw_behind_pausemenu(bool flag) { invoke(0x906B86E6D7896B9E, flag); }
inline void set_tv_audio_frontend(bool flag) { invoke(0x64437C98FCC5F291, flag); }
inline void set_tv_channel(int value) { invoke(0x593FAF7FC9401A56, value); }
inline void set_tv_channel_playlist(int value, const char* text, bool flag) {
  invoke(0xDEC6B25F5DC8925B, value, text, flag);
}
inline int start_particle_fx_looped_on_entity(const char* text, Entity entity, float value1,
                                              float value2, float value3, float value4,
                                              float value5, float value6, float value7, bool flag1,
                                              bool flag2, bool flag3) {
  return invoke<int>(0xBD41E1440CE39800, text, entity, value1, value2, value3, value4, value5,
                     value6, value7, flag1, flag2, flag3);
}
inline void stop_particle_fx_looped(int value, bool flag) {
  invoke(0x22970F3A088B133B, value, flag);
}
inline void use_particle_fx_asset(const char* text) { invoke(0xA10DB07FC234DD12, text); }

// HUD
inline int get_named_rendertarget_render_id(const char* text) {
  return invoke<int>(0xB6762A85EE29AA60, text);
}
inline const char* get_string_from_hash_key(Hash hash) {
  return invoke<const char*>(0xBD5DD5EAE2B6CE14, hash);
}
inline bool is_named_rendertarget_linked(Hash hash) {
  return invoke<bool>(0x707032835FF09AE7, hash);
}
inline bool is_named_rendertarget_registered(const char* text) {
  return invoke<bool>(0x3EE32F7964C40FE6, text);
}
inline void link_named_rendertarget(Hash hash) { invoke(0x2F506B8556242DDB, hash); }
inline bool register_named_rendertarget(const char* text, bool flag) {
  return invoke<bool>(0x98AF2BB6F62BD588, text, flag);
}
inline bool release_named_rendertarget(const char* text) {
  return invoke<bool>(0x0E692EE61761361F, text);
}
inline void set_text_render_id(int value) { invoke(0xE550CDE128D56757, value); }
inline void ui_prompt_context_set_point(Prompt prompt, float value1, float value2, float value3) {
  invoke(0xAE84C5EE2C384FB3, prompt, value1, value2, value3);
}
inline void ui_prompt_context_set_radius(Prompt prompt, float value) {
  invoke(0x0C718001B77CA468, prompt, value);
}
inline void ui_prompt_delete(Prompt prompt) { invoke(0x00EDE88D4D13CF59, prompt); }
inline int ui_prompt_get_group_id_for_target_entity(Entity entity) {
  return invoke<int>(0xB796970BD125FCE8, entity);
}
inline bool ui_prompt_has_hold_mode_completed(Prompt prompt) {
  return invoke<bool>(0xE0F65F0640EF0617, prompt);
}
inline bool ui_prompt_has_standard_mode_completed(Prompt prompt, int value) {
  return invoke<bool>(0xC92AC953F0A982AE, prompt, value);
}
inline bool ui_prompt_is_enabled(Prompt prompt) { return invoke<bool>(0x0D00EDDFB58B7F28, prompt); }
inline Prompt ui_prompt_register_begin() { return invoke<Prompt>(0x04F97DE45A519419); }
inline void ui_prompt_register_end(Prompt prompt) { invoke(0xF7AA2696A22AD8B9, prompt); }
inline int ui_prompt_set_control_action(Prompt prompt, Hash hash) {
  return invoke<int>(0xB5352B7494A08258, prompt, hash);
}
inline void ui_prompt_set_enabled(Prompt prompt, bool flag) {
  invoke(0x8A0FB4D03A630D21, prompt, flag);
}
inline void ui_prompt_set_group(Prompt prompt, int value1, int value2) {
  invoke(0x2F11D3A254169EA4, prompt, value1, value2);
}
inline void ui_prompt_set_hold_mode(Prompt prompt, int value) {
  invoke(0x94073D5CA3F16B7B, prompt, value);
}
inline void ui_prompt_set_priority(Prompt prompt, int value) {
  invoke(0xCA24F528D0D16289, prompt, value);
}
inline void ui_prompt_set_standard_mode(Prompt prompt, bool flag) {
  invoke(0xCC6656799977741B, prompt, flag);
}
inline void ui_prompt_set_text(Prompt prompt, const char* text) {
  invoke(0x5DD02A8318420DD7, prompt, text);
}
inline void ui_prompt_set_type(Prompt prompt, int value) {
  invoke(0xF4A5C4509BF923B1, prompt, value);
}
inline void ui_prompt_set_visible(Prompt prompt, bool flag) {
  invoke(0x71215ACCFDE075EE, prompt, flag);
}

// INTERIOR
inline int get_interior_from_entity(Entity entity) {
  return invoke<int>(0xB417689857646F61, entity);
}
inline void get_interior_location_and_namehash(int interior, Vector3* position, Hash* name_hash) {
  invoke(0x8451E87D3C2B0286, interior, position, name_hash);
}

// MAP
inline Blip blip_add_for_coords(Hash hash, float value1, float value2, float value3) {
  return invoke<Blip>(0x554D9D53F696D002, hash, value1, value2, value3);
}
inline bool blip_add_modifier(Blip blip, Hash hash) {
  return invoke<bool>(0x662D364ABF16DE2F, blip, hash);
}
inline bool blip_remove_modifier(Blip blip, Hash hash) {
  return invoke<bool>(0xB059D7BD3D78C16F, blip, hash);
}
inline void remove_blip(Blip* blip) { invoke(0xF2C3C9DA47AAA54A, blip); }
inline void set_blip_name_from_text_file(Blip blip, const char* text) {
  invoke(0x0A062D6D7C0B2C2C, blip, text);
}
inline void set_blip_scale(Blip blip, float value) { invoke(0xD38744167B2FA257, blip, value); }
inline void set_blip_sprite(Blip blip, Hash hash, bool flag) {
  invoke(0x74F74D3207ED525C, blip, hash, flag);
}

// MISC
inline float get_distance_between_coords(float value1, float value2, float value3, float value4,
                                         float value5, float value6, bool flag) {
  return invoke<float>(0x0BE7F4E3CDBAFB28, value1, value2, value3, value4, value5, value6, flag);
}
inline float get_frame_time() { return invoke<float>(0x5E72022914CE3C38); }
inline int get_game_timer() { return invoke<int>(0x4F67E8ECA7D3F667); }
inline Hash get_hash_key(const char* text) { return invoke<Hash>(0xFD340785ADF8CFB7, text); }
inline int get_random_int_in_range(int value1, int value2) {
  return invoke<int>(0xD53343AA4FB7DD28, value1, value2);
}
inline bool register_interaction_lockon_prompt(Entity entity, const char* text, float value1,
                                               float value2, int value3, float value4, float value5,
                                               Prompt prompt, bool flag, int value6) {
  return invoke<bool>(0x870708A6E147A9AD, entity, text, value1, value2, value3, value4, value5,
                      prompt, flag, value6);
}
inline bool unregister_interaction_lockon_prompt(Entity entity) {
  return invoke<bool>(0xE98D55C5983F2509, entity);
}
template <typename... Args>
inline const char* var_string(int flags, const char* format, Args... args) {
  return invoke<const char*>(0xFA925AC00EB830B9, flags, format, args...);
}

// MONEY
inline bool money_decrement_cash_balance(int value) {
  return invoke<bool>(0x466BC8769CF26A7A, value);
}

// OBJECT
inline Object create_object(Hash hash, float value1, float value2, float value3, bool flag1,
                            bool flag2, bool flag3, bool flag4, bool flag5) {
  return invoke<Object>(0x509D5878EB39E842, hash, value1, value2, value3, flag1, flag2, flag3,
                        flag4, flag5);
}
inline void set_object_prompt_name_from_gxt_entry(int64_t object, Hash label) {
  invoke(0xD503D6F0986D58BC, object, label);
}
inline void set_object_targettable_focus(Object object, bool flag1, bool flag2) {
  invoke(0xA22712E8471AA08E, object, flag1, flag2);
}

// PED
inline Ped create_ped(Hash hash, float value1, float value2, float value3, float value4, bool flag1,
                      bool flag2, bool flag3, bool flag4) {
  return invoke<Ped>(0xD49F9B0955C367DE, hash, value1, value2, value3, value4, flag1, flag2, flag3,
                     flag4);
}
inline void delete_ped(Ped* ped) { invoke(0xCC0EF140F99365C5, ped); }
inline void equip_meta_ped_outfit_preset(Ped ped, int value, bool flag) {
  invoke(0x77FF8D35EEC6BBC4, ped, value, flag);
}
inline int get_num_meta_ped_outfits(Ped ped) { return invoke<int>(0x10C70A515BC03707, ped); }
inline bool is_ped_fleeing(Ped ped) { return invoke<bool>(0xBBCCE00B381F8482, ped); }
inline bool is_ped_using_any_scenario(Ped ped) { return invoke<bool>(0x57AB4A3080F85143, ped); }
inline void set_facial_idle_anim_override(Ped ped, const char* text1, const char* text2) {
  invoke(0xFFC24B988B938B38, ped, text1, text2);
}
inline void set_ped_config_flag(Ped ped, int value, bool flag) {
  invoke(0x1913FE4CBF41C463, ped, value, flag);
}
inline void set_ped_flee_attributes(Ped ped, int value, bool flag) {
  invoke(0x70A2D1137C8ED7C9, ped, value, flag);
}
inline void set_ped_prompt_name(Ped ped, const char* text) {
  invoke(0x4A48B6E03BABB4AC, ped, text);
}
inline void set_ped_reset_flag(Ped ped, int value, bool flag) {
  invoke(0xC1E8A365BF3B29F2, ped, value, flag);
}
inline void update_ped_variation(Ped ped, bool flag1, bool flag2, bool flag3, bool flag4,
                                 bool flag5) {
  invoke(0xCC8CA3E88256E58F, ped, flag1, flag2, flag3, flag4, flag5);
}

// PLAYER
inline int get_player_index() { return invoke<int>(0x47E385B0D957C8D4); }
inline Ped player_ped_id() { return invoke<Ped>(0x096275889B8E0EE0); }
inline void register_eagle_eye_for_entity(int player, Entity entity, bool flag) {
  invoke(0x543DFE14BE720027, player, entity, flag);
}

// STREAMING
inline bool has_model_loaded(Hash hash) { return invoke<bool>(0x1283B8B89DD5D1B6, hash); }
inline bool has_named_ptfx_asset_loaded(Hash hash) {
  return invoke<bool>(0x65BB72F29138F5D6, hash);
}
inline bool is_model_valid(Hash hash) { return invoke<bool>(0x392C8D8E07B70EFC, hash); }
inline void request_model(Hash hash, bool flag) { invoke(0xFA28FE3A6246FC30, hash, flag); }
inline void request_named_ptfx_asset(Hash hash) { invoke(0xF2B2353BBC0D4E8F, hash); }

// TASK
inline void clear_ped_tasks(Ped ped, bool flag1, bool flag2) {
  invoke(0xE1EF3C1216AFF2CD, ped, flag1, flag2);
}
inline int create_scenario_point_hash_attached_to_entity(Entity entity, Hash hash, float value1,
                                                         float value2, float value3, float value4,
                                                         int value5, int value6, bool flag) {
  return invoke<int>(0x794AB1379A74064D, entity, hash, value1, value2, value3, value4, value5,
                     value6, flag);
}
inline void delete_scenario_point(int value) { invoke(0x81948DFE4F5A0283, value); }
inline bool does_scenario_point_exist(int value) { return invoke<bool>(0x841475AC96E794D1, value); }
inline Ped get_ped_using_scenario_point(int value) {
  return invoke<Ped>(0x5BA659955369B0E2, value);
}
inline void set_scenario_point_active(int value, bool flag) {
  invoke(0xEEE4829304F93EEE, value, flag);
}
inline void task_enter_anim_scene(Ped ped, int scene, const char* text1, const char* text2,
                                  float value1, bool flag, int value2, int value3, float value4) {
  invoke(0xC2329B0206426644, ped, scene, text1, text2, value1, flag, value2, value3, value4);
}
inline void task_look_at_entity(Ped ped, Entity entity, int value1, int value2, int value3,
                                int value4) {
  invoke(0x69F4BE8C8CC4796C, ped, entity, value1, value2, value3, value4);
}
inline void task_start_scenario_in_place_hash(Ped ped, Hash hash1, int value1, bool flag1,
                                              Hash hash2, float value2, bool flag2) {
  invoke(0x524B54361229154F, ped, hash1, value1, flag1, hash2, value2, flag2);
}
inline void task_use_scenario_point(Ped ped, int value1, const char* text, int value2, bool flag1,
                                    bool flag2, Hash hash, bool flag3, float value3, bool flag4) {
  invoke(0xCCDAE6324B6A821C, ped, value1, text, value2, flag1, flag2, hash, flag3, value3, flag4);
}

// TXD
inline bool does_streamed_texture_dict_exist(const char* text) {
  return invoke<bool>(0x7332461FC59EB7EC, text);
}
inline bool has_streamed_texture_dict_loaded(const char* text) {
  return invoke<bool>(0x54D6900929CCF162, text);
}
inline void request_streamed_texture_dict(const char* text, bool flag) {
  invoke(0xC1BA29DF5631B0F8, text, flag);
}
inline void set_streamed_texture_dict_as_no_longer_needed(const char* text) {
  invoke(0x4ACA10A91F66F1E2, text);
}

// UIFEED
inline int ui_feed_post_sample_toast_right(const FeedRecord* duration, const FeedRecord* data,
                                           bool flag) {
  return invoke<int>(0xB249EBCB30DD88E0, duration, data, flag);
}
