#pragma once
// Spoken lines: the request the game's speech native reads, and the ticket
// taker's lines in the voice drawn for his post.

#include "state.h"

// A request for `line` in `voice`, with the clear spoken-beat parameters.
// The request holds the two names by address; they must outlive its use.
SpeechRequest speech_request(const char* line, const char* voice);

// `speaker` says `line` in the taker's current voice.
void say_line(const CinemaState& s, Ped speaker, const char* line);

// The taker looks at the player (the ped read at set-up) for 5000 ms, as he
// does before his greeting, his farewell and his answer about the film.
void taker_looks_at_player(const CinemaState& s);
