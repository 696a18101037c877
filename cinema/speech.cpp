#include "speech.h"

#include <cstdint>

#include "natives.h"

SpeechRequest speech_request(const char* line, const char* voice) {
  SpeechRequest request{};
  request.slot[0] = text_slot(line);
  request.slot[1] = text_slot(voice);
  request.slot[3] = get_hash_key("SPEECH_PARAMS_BEAT_SPOKEN_CLEAR");
  request.slot[5] = 1;
  return request;
}

void say_line(const CinemaState& s, Ped speaker, const char* line) {
  const SpeechRequest request = speech_request(line, s.voice_name);
  play_ped_ambient_speech_native(speaker, &request);
}

constexpr int32_t taker_look_ms = 5000;

void taker_looks_at_player(const CinemaState& s) {
  task_look_at_entity(s.ticket_taker, s.player_ped, taker_look_ms, 0, 2048, 3);
}
