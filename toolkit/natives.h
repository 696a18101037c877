#pragma once
// One thin wrapper per game native the plug-ins call, named after the game's
// community name. Their hashes are the reference table's (native::NAME, made
// by the build from reference/natives.tsv): none is written by hand.

#include <cstdint>

#include "native_call.h"
#include "types.h"

namespace native {
#define TOOLKIT_NATIVE(word, hash, name) inline constexpr uint64_t word = hash;
#include "toolkit_natives.def"
#undef TOOLKIT_NATIVE
}  // namespace native

// ANIMSCENE
inline void abort_anim_scene(int anim_scene, bool p1) {
  invoke(native::ABORT_ANIM_SCENE, anim_scene, p1);
}
inline int create_anim_scene(const char* anim_dict, int flags, const char* playback_list_name,
                             bool p3, bool p4) {
  return invoke<int>(native::CREATE_ANIM_SCENE_, anim_dict, flags, playback_list_name, p3, p4);
}
inline void delete_anim_scene(int anim_scene) { invoke(native::DELETE_ANIM_SCENE_, anim_scene); }
inline bool does_anim_scene_exist(int anim_scene) {
  return invoke<bool>(native::DOES_ANIM_SCENE_EXIST, anim_scene);
}
inline bool is_anim_scene_loaded(int anim_scene, bool p1, bool p2) {
  return invoke<bool>(native::IS_ANIM_SCENE_LOADED, anim_scene, p1, p2);
}
inline void load_anim_scene(int anim_scene) { invoke(native::LOAD_ANIM_SCENE, anim_scene); }
inline bool request_anim_scene_play_list(int anim_scene, const char* playlist_name) {
  return invoke<bool>(native::REQUEST_ANIM_SCENE_PLAY_LIST, anim_scene, playlist_name);
}
inline void set_anim_scene_entity(int anim_scene, const char* entity_name, Entity entity,
                                  int flags) {
  invoke(native::SET_ANIM_SCENE_ENTITY, anim_scene, entity_name, entity, flags);
}
inline void set_anim_scene_origin(int anim_scene, float pos_x, float pos_y, float pos_z,
                                  float rot_x, float rot_y, float rot_z, int order) {
  invoke(native::SET_ANIM_SCENE_ORIGIN, anim_scene, pos_x, pos_y, pos_z, rot_x, rot_y, rot_z,
         order);
}
inline void set_anim_scene_play_list(int anim_scene, const char* playlist_name, bool p2) {
  invoke(native::SET_ANIM_SCENE_PLAY_LIST, anim_scene, playlist_name, p2);
}

// AUDIO
inline bool is_any_speech_playing(Ped ped) {
  return invoke<bool>(native::IS_ANY_SPEECH_PLAYING, ped);
}
inline bool play_ped_ambient_speech_native(Ped speaker, const SpeechRequest* params) {
  return invoke<bool>(native::PLAY_PED_AMBIENT_SPEECH_NATIVE, speaker, params);
}
inline void set_ambient_voice_name(Ped ped, const char* name) {
  invoke(native::SET_AMBIENT_VOICE_NAME, ped, name);
}
inline void stop_current_playing_ambient_speech(Ped ped, int p1) {
  invoke(native::STOP_CURRENT_PLAYING_AMBIENT_SPEECH, ped, p1);
}
inline void stop_current_playing_speech(Ped ped, int p1) {
  invoke(native::STOP_CURRENT_PLAYING_SPEECH, ped, p1);
}

// CLOCK
inline int get_clock_hours() { return invoke<int>(native::GET_CLOCK_HOURS); }

// ENTITY
inline void delete_entity(Entity* entity) { invoke(native::DELETE_ENTITY, entity); }
inline bool does_entity_exist(Entity entity) {
  return invoke<bool>(native::DOES_ENTITY_EXIST, entity);
}
inline void freeze_entity_position(Entity entity, bool toggle) {
  invoke(native::FREEZE_ENTITY_POSITION, entity, toggle);
}
inline float get_entity_anim_current_time(Entity entity, const char* anim_dict,
                                          const char* anim_name) {
  return invoke<float>(native::GET_ENTITY_ANIM_CURRENT_TIME_, entity, anim_dict, anim_name);
}
inline Vector3 get_entity_coords(Entity entity, bool alive, bool real_coords) {
  return invoke<Vector3>(native::GET_ENTITY_COORDS, entity, alive, real_coords);
}
inline float get_entity_heading(Entity entity) {
  return invoke<float>(native::GET_ENTITY_HEADING, entity);
}
inline Hash get_entity_model(Entity entity) {
  return invoke<Hash>(native::GET_ENTITY_MODEL, entity);
}
inline Vector3 get_entity_rotation(Entity entity, int rotation_order) {
  return invoke<Vector3>(native::GET_ENTITY_ROTATION, entity, rotation_order);
}
inline Object get_object_index_from_entity_index(Entity entity) {
  return invoke<Object>(native::GET_OBJECT_INDEX_FROM_ENTITY_INDEX, entity);
}
inline Vector3 get_offset_from_entity_given_world_coords(Entity entity, float pos_x, float pos_y,
                                                         float pos_z) {
  return invoke<Vector3>(native::GET_OFFSET_FROM_ENTITY_GIVEN_WORLD_COORDS, entity, pos_x, pos_y,
                         pos_z);
}
inline bool is_entity_dead(Entity entity) { return invoke<bool>(native::IS_ENTITY_DEAD, entity); }
inline bool is_entity_playing_anim(Entity entity, const char* anim_dict, const char* anim_name,
                                   int anim_type) {
  return invoke<bool>(native::IS_ENTITY_PLAYING_ANIM, entity, anim_dict, anim_name, anim_type);
}
inline bool place_entity_on_ground_properly(Entity entity, bool p1) {
  return invoke<bool>(native::PLACE_ENTITY_ON_GROUND_PROPERLY, entity, p1);
}
inline void set_can_auto_vault_on_entity(Entity entity, bool toggle) {
  invoke(native::SET_CAN_AUTO_VAULT_ON_ENTITY, entity, toggle);
}
inline void set_can_climb_on_entity(Entity entity, bool toggle) {
  invoke(native::SET_CAN_CLIMB_ON_ENTITY, entity, toggle);
}
inline void set_entity_alpha(Entity entity, int alpha_level, bool skin) {
  invoke(native::SET_ENTITY_ALPHA, entity, alpha_level, skin);
}
inline void set_entity_as_mission_entity(Entity entity, bool script_host_object,
                                         bool grab_from_other_script) {
  invoke(native::SET_ENTITY_AS_MISSION_ENTITY, entity, script_host_object, grab_from_other_script);
}
inline void set_entity_coords(Entity entity, float x_pos, float y_pos, float z_pos, bool x_axis,
                              bool y_axis, bool z_axis, bool clear_area) {
  invoke(native::SET_ENTITY_COORDS, entity, x_pos, y_pos, z_pos, x_axis, y_axis, z_axis,
         clear_area);
}
inline void set_entity_rotation(Entity entity, float pitch, float roll, float yaw,
                                int rotation_order, bool p5) {
  invoke(native::SET_ENTITY_ROTATION, entity, pitch, roll, yaw, rotation_order, p5);
}
inline void set_entity_visible(Entity entity, bool toggle) {
  invoke(native::SET_ENTITY_VISIBLE, entity, toggle);
}

// GRAPHICS
inline void animpostfx_play(const char* effect_name) {
  invoke(native::ANIMPOSTFX_PLAY, effect_name);
}
inline void attach_tv_audio_to_entity(Entity entity) {
  invoke(native::ATTACH_TV_AUDIO_TO_ENTITY, entity);
}
inline bool does_particle_fx_looped_exist(int ptfx_handle) {
  return invoke<bool>(native::DOES_PARTICLE_FX_LOOPED_EXIST, ptfx_handle);
}
inline void draw_tv_channel(float x_pos, float y_pos, float x_scale, float y_scale, float rotation,
                            int red, int green, int blue, int alpha) {
  invoke(native::DRAW_TV_CHANNEL, x_pos, y_pos, x_scale, y_scale, rotation, red, green, blue,
         alpha);
}
inline int get_tv_channel() { return invoke<int>(native::GET_TV_CHANNEL); }
inline bool is_tvshow_currently_playing(Hash video_cliphash) {
  return invoke<bool>(native::IS_TVSHOW_CURRENTLY_PLAYING, video_cliphash);
}
inline void set_particle_fx_looped_scale(int ptfx_handle, float scale) {
  invoke(native::SET_PARTICLE_FX_LOOPED_SCALE, ptfx_handle, scale);
}
inline void set_script_gfx_draw_behind_pausemenu(bool toggle) {
  invoke(native::SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU, toggle);
}
inline void set_tv_audio_frontend(bool toggle) { invoke(native::SET_TV_AUDIO_FRONTEND, toggle); }
inline void set_tv_channel(int channel) { invoke(native::SET_TV_CHANNEL, channel); }
inline void set_tv_channel_playlist(int tv_channel, const char* playlist_name, bool restart) {
  invoke(native::SET_TV_CHANNEL_PLAYLIST, tv_channel, playlist_name, restart);
}
inline int start_particle_fx_looped_on_entity(const char* effect_name, Entity entity,
                                              float x_offset, float y_offset, float z_offset,
                                              float x_rot, float y_rot, float z_rot, float scale,
                                              bool x_axis, bool y_axis, bool z_axis) {
  return invoke<int>(native::START_PARTICLE_FX_LOOPED_ON_ENTITY, effect_name, entity, x_offset,
                     y_offset, z_offset, x_rot, y_rot, z_rot, scale, x_axis, y_axis, z_axis);
}
inline void stop_particle_fx_looped(int ptfx_handle, bool p1) {
  invoke(native::STOP_PARTICLE_FX_LOOPED, ptfx_handle, p1);
}
inline void use_particle_fx_asset(const char* fx_name) {
  invoke(native::USE_PARTICLE_FX_ASSET, fx_name);
}

// HUD
inline int get_named_rendertarget_render_id(const char* name) {
  return invoke<int>(native::GET_NAMED_RENDERTARGET_RENDER_ID, name);
}
inline const char* get_string_from_hash_key(Hash label_hash) {
  return invoke<const char*>(native::GET_STRING_FROM_HASH_KEY, label_hash);
}
inline bool is_named_rendertarget_linked(Hash model_hash) {
  return invoke<bool>(native::IS_NAMED_RENDERTARGET_LINKED, model_hash);
}
inline bool is_named_rendertarget_registered(const char* name) {
  return invoke<bool>(native::IS_NAMED_RENDERTARGET_REGISTERED, name);
}
inline void link_named_rendertarget(Hash model_hash) {
  invoke(native::LINK_NAMED_RENDERTARGET, model_hash);
}
inline bool register_named_rendertarget(const char* name, bool p1) {
  return invoke<bool>(native::REGISTER_NAMED_RENDERTARGET, name, p1);
}
inline bool release_named_rendertarget(const char* name) {
  return invoke<bool>(native::RELEASE_NAMED_RENDERTARGET, name);
}
inline void set_text_render_id(int render_id) { invoke(native::SET_TEXT_RENDER_ID, render_id); }
inline void ui_prompt_context_set_point(Prompt prompt, float x, float y, float z) {
  invoke(native::UI_PROMPT_CONTEXT_SET_POINT_, prompt, x, y, z);
}
inline void ui_prompt_context_set_radius(Prompt prompt, float radius) {
  invoke(native::UI_PROMPT_CONTEXT_SET_RADIUS_, prompt, radius);
}
inline void ui_prompt_delete(Prompt prompt) { invoke(native::UI_PROMPT_DELETE_, prompt); }
inline int ui_prompt_get_group_id_for_target_entity(Entity entity) {
  return invoke<int>(native::UI_PROMPT_GET_GROUP_ID_FOR_TARGET_ENTITY_, entity);
}
inline bool ui_prompt_has_hold_mode_completed(Prompt prompt) {
  return invoke<bool>(native::UI_PROMPT_HAS_HOLD_MODE_COMPLETED_, prompt);
}
inline bool ui_prompt_has_standard_mode_completed(Prompt prompt, int p1) {
  return invoke<bool>(native::UI_PROMPT_HAS_STANDARD_MODE_COMPLETED_, prompt, p1);
}
inline bool ui_prompt_is_enabled(Prompt prompt) {
  return invoke<bool>(native::UI_PROMPT_IS_ENABLED_, prompt);
}
inline Prompt ui_prompt_register_begin() {
  return invoke<Prompt>(native::UI_PROMPT_REGISTER_BEGIN_);
}
inline void ui_prompt_register_end(Prompt prompt) {
  invoke(native::UI_PROMPT_REGISTER_END_, prompt);
}
inline int ui_prompt_set_control_action(Prompt prompt, Hash action) {
  return invoke<int>(native::UI_PROMPT_SET_CONTROL_ACTION_, prompt, action);
}
inline void ui_prompt_set_enabled(Prompt prompt, bool toggle) {
  invoke(native::UI_PROMPT_SET_ENABLED_, prompt, toggle);
}
inline void ui_prompt_set_group(Prompt prompt, int group_id, int tab_index) {
  invoke(native::UI_PROMPT_SET_GROUP_, prompt, group_id, tab_index);
}
inline void ui_prompt_set_hold_mode(Prompt prompt, int hold_time_ms) {
  invoke(native::UI_PROMPT_SET_HOLD_MODE_, prompt, hold_time_ms);
}
inline void ui_prompt_set_priority(Prompt prompt, int priority) {
  invoke(native::UI_PROMPT_SET_PRIORITY_, prompt, priority);
}
inline void ui_prompt_set_standard_mode(Prompt prompt, bool release_mode) {
  invoke(native::UI_PROMPT_SET_STANDARD_MODE_, prompt, release_mode);
}
inline void ui_prompt_set_text(Prompt prompt, const char* text) {
  invoke(native::UI_PROMPT_SET_TEXT_, prompt, text);
}
inline void ui_prompt_set_type(Prompt prompt, int type) {
  invoke(native::UI_PROMPT_SET_TYPE_, prompt, type);
}
inline void ui_prompt_set_visible(Prompt prompt, bool toggle) {
  invoke(native::UI_PROMPT_SET_VISIBLE_, prompt, toggle);
}

// INTERIOR
inline int get_interior_from_entity(Entity entity) {
  return invoke<int>(native::GET_INTERIOR_FROM_ENTITY, entity);
}
inline void get_interior_location_and_namehash(int interior, Vector3* position, Hash* name_hash) {
  invoke(native::GET_INTERIOR_LOCATION_AND_NAMEHASH, interior, position, name_hash);
}

// MAP
inline Blip blip_add_for_coords(Hash blip_hash, float x, float y, float z) {
  return invoke<Blip>(native::BLIP_ADD_FOR_COORDS, blip_hash, x, y, z);
}
inline bool blip_add_modifier(Blip blip, Hash modifier_hash) {
  return invoke<bool>(native::BLIP_ADD_MODIFIER, blip, modifier_hash);
}
inline bool blip_remove_modifier(Blip blip, Hash modifier_hash) {
  return invoke<bool>(native::BLIP_REMOVE_MODIFIER, blip, modifier_hash);
}
inline void remove_blip(Blip* blip) { invoke(native::REMOVE_BLIP, blip); }
inline void set_blip_name_from_text_file(Blip blip, const char* text_label) {
  invoke(native::SET_BLIP_NAME_FROM_TEXT_FILE, blip, text_label);
}
inline void set_blip_scale(Blip blip, float scale) { invoke(native::SET_BLIP_SCALE, blip, scale); }
inline void set_blip_sprite(Blip blip, Hash hash, bool p2) {
  invoke(native::SET_BLIP_SPRITE, blip, hash, p2);
}

// MISC
inline float get_distance_between_coords(float x1, float y1, float z1, float x2, float y2, float z2,
                                         bool use_z) {
  return invoke<float>(native::GET_DISTANCE_BETWEEN_COORDS, x1, y1, z1, x2, y2, z2, use_z);
}
inline float get_frame_time() { return invoke<float>(native::GET_FRAME_TIME); }
inline int get_game_timer() { return invoke<int>(native::GET_GAME_TIMER); }
inline Hash get_hash_key(const char* string) { return invoke<Hash>(native::GET_HASH_KEY, string); }
inline int get_random_int_in_range(int start_range, int end_range) {
  return invoke<int>(native::GET_RANDOM_INT_IN_RANGE, start_range, end_range);
}
inline bool register_interaction_lockon_prompt(Entity entity, const char* text, float radius,
                                               float p3, int flag, float p5, float p6,
                                               Prompt prompt, bool p8, int p9) {
  return invoke<bool>(native::REGISTER_INTERACTION_LOCKON_PROMPT, entity, text, radius, p3, flag,
                      p5, p6, prompt, p8, p9);
}
inline bool unregister_interaction_lockon_prompt(Entity entity) {
  return invoke<bool>(native::UNREGISTER_INTERACTION_LOCKON_PROMPT, entity);
}
// The tail: the name of the format, then the values it fills in.
template <typename... Args>
requires native_detail::opens_with_text<Args...>
inline const char* var_string(int flags, Args... args) {
  return invoke<const char*>(native::VAR_STRING, flags, args...);
}

// MONEY
inline bool money_decrement_cash_balance(int amount) {
  return invoke<bool>(native::MONEY_DECREMENT_CASH_BALANCE_, amount);
}

// OBJECT
inline Object create_object(Hash model_hash, float x, float y, float z, bool is_network,
                            bool b_script_host_obj, bool dynamic, bool p7, bool p8) {
  return invoke<Object>(native::CREATE_OBJECT, model_hash, x, y, z, is_network, b_script_host_obj,
                        dynamic, p7, p8);
}
inline void set_object_prompt_name_from_gxt_entry(int64_t object, Hash name) {
  invoke(native::SET_OBJECT_PROMPT_NAME_FROM_GXT_ENTRY_, object, name);
}
inline void set_object_targettable_focus(Object object, bool p1, bool p2) {
  invoke(native::SET_OBJECT_TARGETTABLE_FOCUS_, object, p1, p2);
}

// PED
inline Ped create_ped(Hash model_hash, float x, float y, float z, float heading, bool is_network,
                      bool b_script_host_ped, bool p7, bool p8) {
  return invoke<Ped>(native::CREATE_PED, model_hash, x, y, z, heading, is_network,
                     b_script_host_ped, p7, p8);
}
inline void delete_ped(Ped* ped) { invoke(native::DELETE_PED, ped); }
inline void equip_meta_ped_outfit_preset(Ped ped, int preset_id, bool p2) {
  invoke(native::EQUIP_META_PED_OUTFIT_PRESET_, ped, preset_id, p2);
}
inline int get_num_meta_ped_outfits(Ped ped) {
  return invoke<int>(native::GET_NUM_META_PED_OUTFITS, ped);
}
inline bool is_ped_fleeing(Ped ped) { return invoke<bool>(native::IS_PED_FLEEING, ped); }
inline bool is_ped_using_any_scenario(Ped ped) {
  return invoke<bool>(native::IS_PED_USING_ANY_SCENARIO, ped);
}
inline void set_facial_idle_anim_override(Ped ped, const char* anim_name, const char* anim_dict) {
  invoke(native::SET_FACIAL_IDLE_ANIM_OVERRIDE, ped, anim_name, anim_dict);
}
inline void set_ped_config_flag(Ped ped, int flag_id, bool value) {
  invoke(native::SET_PED_CONFIG_FLAG, ped, flag_id, value);
}
inline void set_ped_flee_attributes(Ped ped, int attribute_flags, bool enable) {
  invoke(native::SET_PED_FLEE_ATTRIBUTES, ped, attribute_flags, enable);
}
inline void set_ped_prompt_name(Ped ped, const char* name) {
  invoke(native::SET_PED_PROMPT_NAME_, ped, name);
}
inline void set_ped_reset_flag(Ped ped, int flag_id, bool do_reset) {
  invoke(native::SET_PED_RESET_FLAG, ped, flag_id, do_reset);
}
inline void update_ped_variation(Ped ped, bool p1, bool p2, bool p3, bool p4, bool p5) {
  invoke(native::UPDATE_PED_VARIATION_, ped, p1, p2, p3, p4, p5);
}

// PLAYER
inline int get_player_index() { return invoke<int>(native::GET_PLAYER_INDEX); }
inline Ped player_ped_id() { return invoke<Ped>(native::PLAYER_PED_ID); }
inline void register_eagle_eye_for_entity(int player, Entity entity, bool p2) {
  invoke(native::REGISTER_EAGLE_EYE_FOR_ENTITY_, player, entity, p2);
}

// STREAMING
inline bool has_model_loaded(Hash model) { return invoke<bool>(native::HAS_MODEL_LOADED, model); }
inline bool has_named_ptfx_asset_loaded(Hash fx_name_hash) {
  return invoke<bool>(native::HAS_NAMED_PTFX_ASSET_LOADED, fx_name_hash);
}
inline bool is_model_valid(Hash model) { return invoke<bool>(native::IS_MODEL_VALID, model); }
inline void request_model(Hash model, bool p1) { invoke(native::REQUEST_MODEL, model, p1); }
inline void request_named_ptfx_asset(Hash fx_name_hash) {
  invoke(native::REQUEST_NAMED_PTFX_ASSET, fx_name_hash);
}

// TASK
inline void clear_ped_tasks(Ped ped, bool p1, bool p2) {
  invoke(native::CLEAR_PED_TASKS, ped, p1, p2);
}
inline int create_scenario_point_hash_attached_to_entity(Entity entity, Hash scenario_hash, float x,
                                                         float y, float z, float heading, int p6,
                                                         int p7, bool p8) {
  return invoke<int>(native::CREATE_SCENARIO_POINT_HASH_ATTACHED_TO_ENTITY, entity, scenario_hash,
                     x, y, z, heading, p6, p7, p8);
}
inline void delete_scenario_point(int scenario) {
  invoke(native::DELETE_SCENARIO_POINT_, scenario);
}
inline bool does_scenario_point_exist(int scenario) {
  return invoke<bool>(native::DOES_SCENARIO_POINT_EXIST, scenario);
}
inline Ped get_ped_using_scenario_point(int scenario) {
  return invoke<Ped>(native::GET_PED_USING_SCENARIO_POINT_, scenario);
}
inline void set_scenario_point_active(int scenario, bool active) {
  invoke(native::SET_SCENARIO_POINT_ACTIVE_, scenario, active);
}
inline void task_enter_anim_scene(Ped ped, int anim_scene, const char* entity_name,
                                  const char* playback_list_name, float enter_speed,
                                  bool b_auto_start, int flag, int p7, float p8) {
  invoke(native::TASK_ENTER_ANIM_SCENE, ped, anim_scene, entity_name, playback_list_name,
         enter_speed, b_auto_start, flag, p7, p8);
}
inline void task_look_at_entity(Ped ped, Entity look_at_target, int duration, int p3, int p4,
                                int p5) {
  invoke(native::TASK_LOOK_AT_ENTITY, ped, look_at_target, duration, p3, p4, p5);
}
inline void task_start_scenario_in_place_hash(Ped ped, Hash scenario_hash, int duration,
                                              bool play_enter_anim, Hash conditional_hash,
                                              float heading, bool p6) {
  invoke(native::TASK_START_SCENARIO_IN_PLACE_HASH, ped, scenario_hash, duration, play_enter_anim,
         conditional_hash, heading, p6);
}
inline void task_use_scenario_point(Ped ped, int scenario, const char* conditional_anim, int p3,
                                    bool p4, bool p5, Hash p6, bool p7, float p8, bool p9) {
  invoke(native::TASK_USE_SCENARIO_POINT, ped, scenario, conditional_anim, p3, p4, p5, p6, p7, p8,
         p9);
}

// TXD
inline bool does_streamed_texture_dict_exist(const char* texture_dict) {
  return invoke<bool>(native::DOES_STREAMED_TEXTURE_DICT_EXIST, texture_dict);
}
inline bool has_streamed_texture_dict_loaded(const char* texture_dict) {
  return invoke<bool>(native::HAS_STREAMED_TEXTURE_DICT_LOADED, texture_dict);
}
inline void request_streamed_texture_dict(const char* texture_dict, bool p1) {
  invoke(native::REQUEST_STREAMED_TEXTURE_DICT, texture_dict, p1);
}
inline void set_streamed_texture_dict_as_no_longer_needed(const char* texture_dict) {
  invoke(native::SET_STREAMED_TEXTURE_DICT_AS_NO_LONGER_NEEDED, texture_dict);
}

// UIFEED
inline int ui_feed_post_sample_toast_right(const FeedRecord* p0, const FeedRecord* p1, bool p2) {
  return invoke<int>(native::UI_FEED_POST_SAMPLE_TOAST_RIGHT_, p0, p1, p2);
}
