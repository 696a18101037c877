#pragma once
// One thin wrapper per game native the plug-ins call, named after the game's
// community name. The hash of each native is written here and nowhere else.

#include <cstdint>

#include "native_call.h"
#include "types.h"

// ANIMSCENE
inline void abort_anim_scene(int anim_scene, bool p1) {
  invoke(0x718CF1328D20C2B3, anim_scene, p1);
}
inline int create_anim_scene(const char* anim_dict, int flags, const char* playback_list_name,
                             bool p3, bool p4) {
  return invoke<int>(0x1FCA98E33C1437B3, anim_dict, flags, playback_list_name, p3, p4);
}
inline void delete_anim_scene(int anim_scene) { invoke(0x84EEDB2C6E650000, anim_scene); }
inline bool does_anim_scene_exist(int anim_scene) {
  return invoke<bool>(0x25557E324489393C, anim_scene);
}
inline bool is_anim_scene_loaded(int anim_scene, bool p1, bool p2) {
  return invoke<bool>(0x477122B8D05E7968, anim_scene, p1, p2);
}
inline void load_anim_scene(int anim_scene) { invoke(0xAF068580194D9DC7, anim_scene); }
inline bool request_anim_scene_play_list(int anim_scene, const char* playlist_name) {
  return invoke<bool>(0xDF7B5144E25CD3FE, anim_scene, playlist_name);
}
inline void set_anim_scene_entity(int anim_scene, const char* entity_name, Entity entity,
                                  int flags) {
  invoke(0x8B720AD451CA2AB3, anim_scene, entity_name, entity, flags);
}
inline void set_anim_scene_origin(int anim_scene, float pos_x, float pos_y, float pos_z,
                                  float rot_x, float rot_y, float rot_z, int order) {
  invoke(0x020894BF17A02EF2, anim_scene, pos_x, pos_y, pos_z, rot_x, rot_y, rot_z, order);
}
inline void set_anim_scene_play_list(int anim_scene, const char* playlist_name, bool p2) {
  invoke(0x15598CFB25F3DC7E, anim_scene, playlist_name, p2);
}

// AUDIO
inline bool is_any_speech_playing(Ped ped) { return invoke<bool>(0x729072355FA39EC9, ped); }
inline bool play_ped_ambient_speech_native(Ped speaker, const SpeechRequest* params) {
  return invoke<bool>(0x8E04FEDD28D42462, speaker, params);
}
inline void set_ambient_voice_name(Ped ped, const char* name) {
  invoke(0x6C8065A3B780185B, ped, name);
}
inline void stop_current_playing_ambient_speech(Ped ped, int p1) {
  invoke(0xB8BEC0CA6F0EDB0F, ped, p1);
}
inline void stop_current_playing_speech(Ped ped, int p1) { invoke(0x79D2F0E66F81D90D, ped, p1); }

// CLOCK
inline int get_clock_hours() { return invoke<int>(0xC82CF208C2B19199); }

// ENTITY
inline void delete_entity(Entity* entity) { invoke(0x4CD38C78BD19A497, entity); }
inline bool does_entity_exist(Entity entity) { return invoke<bool>(0xD42BD6EB2E0F1677, entity); }
inline void freeze_entity_position(Entity entity, bool toggle) {
  invoke(0x7D9EFB7AD6B19754, entity, toggle);
}
inline float get_entity_anim_current_time(Entity entity, const char* anim_dict,
                                          const char* anim_name) {
  return invoke<float>(0x627520389E288A73, entity, anim_dict, anim_name);
}
inline Vector3 get_entity_coords(Entity entity, bool alive, bool real_coords) {
  return invoke<Vector3>(0xA86D5F069399F44D, entity, alive, real_coords);
}
inline float get_entity_heading(Entity entity) { return invoke<float>(0xC230DD956E2F5507, entity); }
inline Hash get_entity_model(Entity entity) { return invoke<Hash>(0xDA76A9F39210D365, entity); }
inline Vector3 get_entity_rotation(Entity entity, int rotation_order) {
  return invoke<Vector3>(0xE09CAF86C32CB48F, entity, rotation_order);
}
inline Object get_object_index_from_entity_index(Entity entity) {
  return invoke<Object>(0x280BBE5601EAA983, entity);
}
inline Vector3 get_offset_from_entity_given_world_coords(Entity entity, float pos_x, float pos_y,
                                                         float pos_z) {
  return invoke<Vector3>(0x497C6B1A2C9AE69C, entity, pos_x, pos_y, pos_z);
}
inline bool is_entity_dead(Entity entity) { return invoke<bool>(0x7D5B1F88E7504BBA, entity); }
inline bool is_entity_playing_anim(Entity entity, const char* anim_dict, const char* anim_name,
                                   int anim_type) {
  return invoke<bool>(0xDEE49D5CA6C49148, entity, anim_dict, anim_name, anim_type);
}
inline bool place_entity_on_ground_properly(Entity entity, bool p1) {
  return invoke<bool>(0x9587913B9E772D29, entity, p1);
}
inline void set_can_auto_vault_on_entity(Entity entity, bool toggle) {
  invoke(0x80646744FA88F9D7, entity, toggle);
}
inline void set_can_climb_on_entity(Entity entity, bool toggle) {
  invoke(0x24AED2A608F93C4C, entity, toggle);
}
inline void set_entity_alpha(Entity entity, int alpha_level, bool skin) {
  invoke(0x0DF7692B1D9E7BA7, entity, alpha_level, skin);
}
inline void set_entity_as_mission_entity(Entity entity, bool script_host_object,
                                         bool grab_from_other_script) {
  invoke(0xDC19C288082E586E, entity, script_host_object, grab_from_other_script);
}
inline void set_entity_coords(Entity entity, float x_pos, float y_pos, float z_pos, bool x_axis,
                              bool y_axis, bool z_axis, bool clear_area) {
  invoke(0x06843DA7060A026B, entity, x_pos, y_pos, z_pos, x_axis, y_axis, z_axis, clear_area);
}
inline void set_entity_rotation(Entity entity, float pitch, float roll, float yaw,
                                int rotation_order, bool p5) {
  invoke(0x9CC8314DFEDE441E, entity, pitch, roll, yaw, rotation_order, p5);
}
inline void set_entity_visible(Entity entity, bool toggle) {
  invoke(0x1794B4FCC84D812F, entity, toggle);
}

// GRAPHICS
inline void animpostfx_play(const char* effect_name) { invoke(0x4102732DF6B4005F, effect_name); }
inline void attach_tv_audio_to_entity(Entity entity) { invoke(0x40866A418EB8EFDE, entity); }
inline bool does_particle_fx_looped_exist(int ptfx_handle) {
  return invoke<bool>(0x9DD5AFF561E88F2A, ptfx_handle);
}
inline void draw_tv_channel(float x_pos, float y_pos, float x_scale, float y_scale, float rotation,
                            int red, int green, int blue, int alpha) {
  invoke(0xC0A145540254A840, x_pos, y_pos, x_scale, y_scale, rotation, red, green, blue, alpha);
}
inline int get_tv_channel() { return invoke<int>(0xF90FBFD68F3C59AE); }
inline bool is_tvshow_currently_playing(Hash video_cliphash) {
  return invoke<bool>(0x4D562223E0EB65F3, video_cliphash);
}
inline void set_particle_fx_looped_scale(int ptfx_handle, float scale) {
  invoke(0x1A9E1C0D98D093B7, ptfx_handle, scale);
}
inline void set_script_gfx_draw_behind_pausemenu(bool toggle) {
  invoke(0x906B86E6D7896B9E, toggle);
}
inline void set_tv_audio_frontend(bool toggle) { invoke(0x64437C98FCC5F291, toggle); }
inline void set_tv_channel(int channel) { invoke(0x593FAF7FC9401A56, channel); }
inline void set_tv_channel_playlist(int tv_channel, const char* playlist_name, bool restart) {
  invoke(0xDEC6B25F5DC8925B, tv_channel, playlist_name, restart);
}
inline int start_particle_fx_looped_on_entity(const char* effect_name, Entity entity,
                                              float x_offset, float y_offset, float z_offset,
                                              float x_rot, float y_rot, float z_rot, float scale,
                                              bool x_axis, bool y_axis, bool z_axis) {
  return invoke<int>(0xBD41E1440CE39800, effect_name, entity, x_offset, y_offset, z_offset, x_rot,
                     y_rot, z_rot, scale, x_axis, y_axis, z_axis);
}
inline void stop_particle_fx_looped(int ptfx_handle, bool p1) {
  invoke(0x22970F3A088B133B, ptfx_handle, p1);
}
inline void use_particle_fx_asset(const char* fx_name) { invoke(0xA10DB07FC234DD12, fx_name); }

// HUD
inline int get_named_rendertarget_render_id(const char* name) {
  return invoke<int>(0xB6762A85EE29AA60, name);
}
inline const char* get_string_from_hash_key(Hash label_hash) {
  return invoke<const char*>(0xBD5DD5EAE2B6CE14, label_hash);
}
inline bool is_named_rendertarget_linked(Hash model_hash) {
  return invoke<bool>(0x707032835FF09AE7, model_hash);
}
inline bool is_named_rendertarget_registered(const char* name) {
  return invoke<bool>(0x3EE32F7964C40FE6, name);
}
inline void link_named_rendertarget(Hash model_hash) { invoke(0x2F506B8556242DDB, model_hash); }
inline bool register_named_rendertarget(const char* name, bool p1) {
  return invoke<bool>(0x98AF2BB6F62BD588, name, p1);
}
inline bool release_named_rendertarget(const char* name) {
  return invoke<bool>(0x0E692EE61761361F, name);
}
inline void set_text_render_id(int render_id) { invoke(0xE550CDE128D56757, render_id); }
inline void ui_prompt_context_set_point(Prompt prompt, float x, float y, float z) {
  invoke(0xAE84C5EE2C384FB3, prompt, x, y, z);
}
inline void ui_prompt_context_set_radius(Prompt prompt, float radius) {
  invoke(0x0C718001B77CA468, prompt, radius);
}
inline void ui_prompt_delete(Prompt prompt) { invoke(0x00EDE88D4D13CF59, prompt); }
inline int ui_prompt_get_group_id_for_target_entity(Entity entity) {
  return invoke<int>(0xB796970BD125FCE8, entity);
}
inline bool ui_prompt_has_hold_mode_completed(Prompt prompt) {
  return invoke<bool>(0xE0F65F0640EF0617, prompt);
}
inline bool ui_prompt_has_standard_mode_completed(Prompt prompt, int p1) {
  return invoke<bool>(0xC92AC953F0A982AE, prompt, p1);
}
inline bool ui_prompt_is_enabled(Prompt prompt) { return invoke<bool>(0x0D00EDDFB58B7F28, prompt); }
inline Prompt ui_prompt_register_begin() { return invoke<Prompt>(0x04F97DE45A519419); }
inline void ui_prompt_register_end(Prompt prompt) { invoke(0xF7AA2696A22AD8B9, prompt); }
inline int ui_prompt_set_control_action(Prompt prompt, Hash action) {
  return invoke<int>(0xB5352B7494A08258, prompt, action);
}
inline void ui_prompt_set_enabled(Prompt prompt, bool toggle) {
  invoke(0x8A0FB4D03A630D21, prompt, toggle);
}
inline void ui_prompt_set_group(Prompt prompt, int group_id, int tab_index) {
  invoke(0x2F11D3A254169EA4, prompt, group_id, tab_index);
}
inline void ui_prompt_set_hold_mode(Prompt prompt, int hold_time_ms) {
  invoke(0x94073D5CA3F16B7B, prompt, hold_time_ms);
}
inline void ui_prompt_set_priority(Prompt prompt, int priority) {
  invoke(0xCA24F528D0D16289, prompt, priority);
}
inline void ui_prompt_set_standard_mode(Prompt prompt, bool release_mode) {
  invoke(0xCC6656799977741B, prompt, release_mode);
}
inline void ui_prompt_set_text(Prompt prompt, const char* text) {
  invoke(0x5DD02A8318420DD7, prompt, text);
}
inline void ui_prompt_set_type(Prompt prompt, int type) {
  invoke(0xF4A5C4509BF923B1, prompt, type);
}
inline void ui_prompt_set_visible(Prompt prompt, bool toggle) {
  invoke(0x71215ACCFDE075EE, prompt, toggle);
}

// INTERIOR
inline int get_interior_from_entity(Entity entity) {
  return invoke<int>(0xB417689857646F61, entity);
}
inline void get_interior_location_and_namehash(int interior, Vector3* position, Hash* name_hash) {
  invoke(0x8451E87D3C2B0286, interior, position, name_hash);
}

// MAP
inline Blip blip_add_for_coords(Hash blip_hash, float x, float y, float z) {
  return invoke<Blip>(0x554D9D53F696D002, blip_hash, x, y, z);
}
inline bool blip_add_modifier(Blip blip, Hash modifier_hash) {
  return invoke<bool>(0x662D364ABF16DE2F, blip, modifier_hash);
}
inline bool blip_remove_modifier(Blip blip, Hash modifier_hash) {
  return invoke<bool>(0xB059D7BD3D78C16F, blip, modifier_hash);
}
inline void remove_blip(Blip* blip) { invoke(0xF2C3C9DA47AAA54A, blip); }
inline void set_blip_name_from_text_file(Blip blip, const char* text_label) {
  invoke(0x0A062D6D7C0B2C2C, blip, text_label);
}
inline void set_blip_scale(Blip blip, float scale) { invoke(0xD38744167B2FA257, blip, scale); }
inline void set_blip_sprite(Blip blip, Hash hash, bool p2) {
  invoke(0x74F74D3207ED525C, blip, hash, p2);
}

// MISC
inline float get_distance_between_coords(float x1, float y1, float z1, float x2, float y2, float z2,
                                         bool use_z) {
  return invoke<float>(0x0BE7F4E3CDBAFB28, x1, y1, z1, x2, y2, z2, use_z);
}
inline float get_frame_time() { return invoke<float>(0x5E72022914CE3C38); }
inline int get_game_timer() { return invoke<int>(0x4F67E8ECA7D3F667); }
inline Hash get_hash_key(const char* string) { return invoke<Hash>(0xFD340785ADF8CFB7, string); }
inline int get_random_int_in_range(int start_range, int end_range) {
  return invoke<int>(0xD53343AA4FB7DD28, start_range, end_range);
}
inline bool register_interaction_lockon_prompt(Entity entity, const char* text, float radius,
                                               float p3, int flag, float p5, float p6,
                                               Prompt prompt, bool p8, int p9) {
  return invoke<bool>(0x870708A6E147A9AD, entity, text, radius, p3, flag, p5, p6, prompt, p8, p9);
}
inline bool unregister_interaction_lockon_prompt(Entity entity) {
  return invoke<bool>(0xE98D55C5983F2509, entity);
}
// The tail: the name of the format, then the values it fills in.
template <typename... Args>
requires native_detail::opens_with_text<Args...>
inline const char* var_string(int flags, Args... args) {
  return invoke<const char*>(0xFA925AC00EB830B9, flags, args...);
}

// MONEY
inline bool money_decrement_cash_balance(int amount) {
  return invoke<bool>(0x466BC8769CF26A7A, amount);
}

// OBJECT
inline Object create_object(Hash model_hash, float x, float y, float z, bool is_network,
                            bool b_script_host_obj, bool dynamic, bool p7, bool p8) {
  return invoke<Object>(0x509D5878EB39E842, model_hash, x, y, z, is_network, b_script_host_obj,
                        dynamic, p7, p8);
}
inline void set_object_prompt_name_from_gxt_entry(int64_t object, Hash name) {
  invoke(0xD503D6F0986D58BC, object, name);
}
inline void set_object_targettable_focus(Object object, bool p1, bool p2) {
  invoke(0xA22712E8471AA08E, object, p1, p2);
}

// PED
inline Ped create_ped(Hash model_hash, float x, float y, float z, float heading, bool is_network,
                      bool b_script_host_ped, bool p7, bool p8) {
  return invoke<Ped>(0xD49F9B0955C367DE, model_hash, x, y, z, heading, is_network,
                     b_script_host_ped, p7, p8);
}
inline void delete_ped(Ped* ped) { invoke(0xCC0EF140F99365C5, ped); }
inline void equip_meta_ped_outfit_preset(Ped ped, int preset_id, bool p2) {
  invoke(0x77FF8D35EEC6BBC4, ped, preset_id, p2);
}
inline int get_num_meta_ped_outfits(Ped ped) { return invoke<int>(0x10C70A515BC03707, ped); }
inline bool is_ped_fleeing(Ped ped) { return invoke<bool>(0xBBCCE00B381F8482, ped); }
inline bool is_ped_using_any_scenario(Ped ped) { return invoke<bool>(0x57AB4A3080F85143, ped); }
inline void set_facial_idle_anim_override(Ped ped, const char* anim_name, const char* anim_dict) {
  invoke(0xFFC24B988B938B38, ped, anim_name, anim_dict);
}
inline void set_ped_config_flag(Ped ped, int flag_id, bool value) {
  invoke(0x1913FE4CBF41C463, ped, flag_id, value);
}
inline void set_ped_flee_attributes(Ped ped, int attribute_flags, bool enable) {
  invoke(0x70A2D1137C8ED7C9, ped, attribute_flags, enable);
}
inline void set_ped_prompt_name(Ped ped, const char* name) {
  invoke(0x4A48B6E03BABB4AC, ped, name);
}
inline void set_ped_reset_flag(Ped ped, int flag_id, bool do_reset) {
  invoke(0xC1E8A365BF3B29F2, ped, flag_id, do_reset);
}
inline void update_ped_variation(Ped ped, bool p1, bool p2, bool p3, bool p4, bool p5) {
  invoke(0xCC8CA3E88256E58F, ped, p1, p2, p3, p4, p5);
}

// PLAYER
inline int get_player_index() { return invoke<int>(0x47E385B0D957C8D4); }
inline Ped player_ped_id() { return invoke<Ped>(0x096275889B8E0EE0); }
inline void register_eagle_eye_for_entity(int player, Entity entity, bool p2) {
  invoke(0x543DFE14BE720027, player, entity, p2);
}

// STREAMING
inline bool has_model_loaded(Hash model) { return invoke<bool>(0x1283B8B89DD5D1B6, model); }
inline bool has_named_ptfx_asset_loaded(Hash fx_name_hash) {
  return invoke<bool>(0x65BB72F29138F5D6, fx_name_hash);
}
inline bool is_model_valid(Hash model) { return invoke<bool>(0x392C8D8E07B70EFC, model); }
inline void request_model(Hash model, bool p1) { invoke(0xFA28FE3A6246FC30, model, p1); }
inline void request_named_ptfx_asset(Hash fx_name_hash) {
  invoke(0xF2B2353BBC0D4E8F, fx_name_hash);
}

// TASK
inline void clear_ped_tasks(Ped ped, bool p1, bool p2) { invoke(0xE1EF3C1216AFF2CD, ped, p1, p2); }
inline int create_scenario_point_hash_attached_to_entity(Entity entity, Hash scenario_hash, float x,
                                                         float y, float z, float heading, int p6,
                                                         int p7, bool p8) {
  return invoke<int>(0x794AB1379A74064D, entity, scenario_hash, x, y, z, heading, p6, p7, p8);
}
inline void delete_scenario_point(int scenario) { invoke(0x81948DFE4F5A0283, scenario); }
inline bool does_scenario_point_exist(int scenario) {
  return invoke<bool>(0x841475AC96E794D1, scenario);
}
inline Ped get_ped_using_scenario_point(int scenario) {
  return invoke<Ped>(0x5BA659955369B0E2, scenario);
}
inline void set_scenario_point_active(int scenario, bool active) {
  invoke(0xEEE4829304F93EEE, scenario, active);
}
inline void task_enter_anim_scene(Ped ped, int anim_scene, const char* entity_name,
                                  const char* playback_list_name, float enter_speed,
                                  bool b_auto_start, int flag, int p7, float p8) {
  invoke(0xC2329B0206426644, ped, anim_scene, entity_name, playback_list_name, enter_speed,
         b_auto_start, flag, p7, p8);
}
inline void task_look_at_entity(Ped ped, Entity look_at_target, int duration, int p3, int p4,
                                int p5) {
  invoke(0x69F4BE8C8CC4796C, ped, look_at_target, duration, p3, p4, p5);
}
inline void task_start_scenario_in_place_hash(Ped ped, Hash scenario_hash, int duration,
                                              bool play_enter_anim, Hash conditional_hash,
                                              float heading, bool p6) {
  invoke(0x524B54361229154F, ped, scenario_hash, duration, play_enter_anim, conditional_hash,
         heading, p6);
}
inline void task_use_scenario_point(Ped ped, int scenario, const char* conditional_anim, int p3,
                                    bool p4, bool p5, Hash p6, bool p7, float p8, bool p9) {
  invoke(0xCCDAE6324B6A821C, ped, scenario, conditional_anim, p3, p4, p5, p6, p7, p8, p9);
}

// TXD
inline bool does_streamed_texture_dict_exist(const char* texture_dict) {
  return invoke<bool>(0x7332461FC59EB7EC, texture_dict);
}
inline bool has_streamed_texture_dict_loaded(const char* texture_dict) {
  return invoke<bool>(0x54D6900929CCF162, texture_dict);
}
inline void request_streamed_texture_dict(const char* texture_dict, bool p1) {
  invoke(0xC1BA29DF5631B0F8, texture_dict, p1);
}
inline void set_streamed_texture_dict_as_no_longer_needed(const char* texture_dict) {
  invoke(0x4ACA10A91F66F1E2, texture_dict);
}

// UIFEED
inline int ui_feed_post_sample_toast_right(const FeedRecord* p0, const FeedRecord* p1, bool p2) {
  return invoke<int>(0xB249EBCB30DD88E0, p0, p1, p2);
}
