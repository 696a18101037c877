#pragma once
// Interaction prompts.

#include "types.h"

// A prompt showing `label` verbatim and answering to `control`, returned
// switched off. The mode step differs by deliverable, fixed at build time:
// standard mode for the cinema, a hold of 550 for the toy train. A null
// label is shown as an empty one; when the game gives no text for the label
// the prompt gets none.
Prompt create_labelled_prompt(const char* label, Hash control);

// Switches both of a prompt's switches to `on`.
void set_prompt_on(Prompt prompt, bool on);
