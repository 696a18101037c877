#pragma once
// Props and characters: every entity the plug-ins place is made here.

#include "types.h"

// Returns 0 for a model the game does not know; otherwise waits frame by
// frame until the model is loaded and returns the new prop.
Object spawn_object(Hash model, const Vector3* position);

// Waits until the model is loaded and returns the new character, dressed in
// outfit preset 1. The model must be one the game has: it is not tested.
Ped spawn_ped(Hash model, float x, float y, float z);

// A random outfit preset of the ped, or 0 when the ped does not exist.
int random_outfit_index(Ped ped);

// Dresses the ped in one of its outfit presets, drawn at random; a ped that
// does not exist is left as it is.
void dress_at_random(Ped ped);
