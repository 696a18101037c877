#pragma once
// How a reader of the journal tells what happened, in words: the names of
// hashes, things and speakers, numbers and positions, and the line each
// change of the world makes. The timeline, the trace and the page share it.

#include <cstdint>
#include <string>
#include <string_view>

#include "places.h"
#include "world.h"

namespace play {

// Numbers as the readers write them, the same on every platform.
std::string fixed(double value, int decimals);
std::string position_text(const sim::Vec& at);
std::string seconds_text(uint64_t ms);  // "1.500 s"
std::string in_quotes(std::string_view text);

// A hash as the name the scripts hashed, or in hex.
std::string hash_name(const sim::World& world, uint32_t hash);
// An interior by its name's hash: "the theater (arm_school_int)".
std::string interior_name(const sim::World& world, const Deliverable& deliverable,
                          uint32_t name_hash);

// A thing as it was made: "ped a_m_m_x (taker)", "blip BLIP_STYLE_SHOP \"name\"".
std::string thing_name(const sim::World& world, uint64_t serial);
// Who a ped is, in a scenario's words: "player", a nickname, or its model.
std::string who(const sim::World& world, uint64_t serial);

// The name of a thing's value that changes smoothly, as the readers follow
// it: "train speed", "effect NAME scale"; empty for a thing none is followed of.
std::string value_name(const sim::World& world, const Deliverable& deliverable, uint64_t serial);

// The line a change of the world makes, or empty when the entry is none or
// tells nothing a reader shows.
std::string change_text(const sim::World& world, const Deliverable& deliverable,
                        const sim::Entry& e);

// The plug-in an entry is of, named by its file's stem: the one whose script
// did it, else the owner of the thing it befell; a thing's end is always its
// owner's. Empty for the game.
std::string plugin_of(const sim::World& world, const sim::Entry& e);
// The host's line for one of its events ("plug-in cinema.so loaded"), a
// global's included; empty for every other kind.
std::string host_text(const sim::Entry& e);
bool is_global(const sim::Entry& e);
std::string failed_text(const sim::entry::Failure& f);  // "FAILED 12: why"
// An entry's own text, where it has one: a label, a line, a notification,
// the host's line for its events.
std::string own_text(const sim::Entry& e);
// The kind a modder's journal names: the host's events are all "host", a
// global's "global", what the run found "found"; else the entry's kind.
std::string family_name(const sim::Entry& e);

}  // namespace play
