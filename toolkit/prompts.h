#pragma once
// Interaction prompts.

#include <cstdint>

#include "types.h"

// How a prompt is completed: by a press, or by a hold of `hold_ms`.
struct PromptMode {
  int32_t hold_ms;  // 0 for a press
};
inline constexpr PromptMode press_mode{0};

// A prompt showing `label` verbatim and answering to `control` in `mode`,
// returned switched off. A null label is shown as an empty one; when the game
// gives no text for the label the prompt gets none.
Prompt create_labelled_prompt(const char* label, Hash control, PromptMode mode);

// Switches both of a prompt's switches to `on`.
void set_prompt_on(Prompt prompt, bool on);
