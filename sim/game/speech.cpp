// Speech lines: the requests peds are made to say, and who is talking.

#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

std::vector<const SpokenLine*> Speech::lines(const std::string& line) const {
  std::vector<const SpokenLine*> found;
  for (const SpokenLine& l : spoken) {
    if (l.line == line) found.push_back(&l);
  }
  return found;
}

bool Speech::talking(const World& w, int32_t ped) const {
  const PedActivity* a = w.peds.find(ped);
  if (a == nullptr || !a->talking || !w.exists(ped)) return false;
  return w.elapsed_ms() - a->talk_from_ms < a->talk_ms;
}

void Speech::start_talking(World& w, int32_t ped) {
  PedActivity& a = w.peds.get(ped);
  a.talking = true;
  a.talk_from_ms = w.elapsed_ms();
  a.talk_ms = line_ms;
}

void Speech::stop_talking(World& w, int32_t ped) {
  auto it = w.peds.all.find(ped);
  if (it != w.peds.all.end()) it->second.talking = false;
}

static const char* slot_text(uint64_t slot) {
  return reinterpret_cast<const char*>(static_cast<uintptr_t>(slot));
}

// The request is eight 64-bit slots: line and voice by address, then
// 0, the parameters' hash, 0, 1, 0, 0 with integers in the low half.
static bool sound_request(World& w, const uint64_t* slot) {
  static constexpr uint64_t fixed[8] = {0, 0, 0, 0, 0, 1, 0, 0};
  bool sound = true;
  for (int n : {2, 4, 5, 6, 7}) {
    if (slot[n] != fixed[n]) {
      w.violation("PLAY_PED_AMBIENT_SPEECH_NATIVE: request slot " + std::to_string(n) + " is " +
                  std::to_string(slot[n]));
      sound = false;
    }
  }
  if ((slot[3] >> 32) != 0) {
    w.violation("PLAY_PED_AMBIENT_SPEECH_NATIVE: request slot 3 upper half not zero");
    sound = false;
  }
  if (slot[0] == 0) {
    w.violation("PLAY_PED_AMBIENT_SPEECH_NATIVE: request without a line");
    sound = false;
  }
  return sound;
}

static void play_speech(World& w, NativeCall& c) {
  const uint64_t* slot = c.p<const uint64_t>(1);
  if (!sound_request(w, slot) || !w.exists(c.i(0))) return;
  PedActivity& a = w.peds.get(c.i(0));
  if (a.dead) return;
  SpokenLine line;
  line.frame = w.frame();
  line.ped = c.i(0);
  line.line = slot_text(slot[0]);
  line.voice = slot[1] != 0 ? slot_text(slot[1]) : a.ambient_voice;
  line.params = static_cast<uint32_t>(slot[3]);
  w.journal.write<EntryKind::said>({.line = line.line, .voice = line.voice, .ms = w.speech.line_ms},
                                   w.serial_of(Thing::entity, line.ped));
  w.speech.spoken.push_back(line);
  w.speech.start_talking(w, c.i(0));
  c.ret_bool(true);
}

NativeRows speech_native_rows() {
  static const DomainRow rows[] = {
      {Native::IS_ANY_SPEECH_PLAYING,
       [](World& w, NativeCall& c) { c.ret_bool(w.speech.talking(w, c.i(0))); }},
      {Native::PLAY_PED_AMBIENT_SPEECH_NATIVE, play_speech, changes(Thing::entity)},
      {Native::SET_AMBIENT_VOICE_NAME,
       [](World& w, NativeCall& c) {
         if (w.exists(c.i(0))) w.peds.get(c.i(0)).ambient_voice = c.s(1);
       },
       changes(Thing::entity)},
      {checked_as(Native::STOP_CURRENT_PLAYING_AMBIENT_SPEECH, "ii"),
       [](World& w, NativeCall& c) { w.speech.stop_talking(w, c.i(0)); }, changes(Thing::entity)},
      {checked_as(Native::STOP_CURRENT_PLAYING_SPEECH, "ii"),
       [](World& w, NativeCall& c) { w.speech.stop_talking(w, c.i(0)); }, changes(Thing::entity)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
