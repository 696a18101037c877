#include "prompts.h"

#include "natives.h"

Prompt create_labelled_prompt(const char* label, Hash control, PromptMode mode) {
  const Prompt prompt = ui_prompt_register_begin();
  ui_prompt_set_control_action(prompt, control);
  const char* text = var_string(10, "LITERAL_STRING", label != nullptr ? label : "");
  // A failed call gives no text; the prompt then shows none.
  if (text != nullptr) ui_prompt_set_text(prompt, text);
  if (mode.hold_ms == 0) {
    ui_prompt_set_standard_mode(prompt, false);
  } else {
    ui_prompt_set_hold_mode(prompt, mode.hold_ms);
  }
  ui_prompt_set_priority(prompt, 1);
  ui_prompt_register_end(prompt);
  ui_prompt_set_enabled(prompt, false);
  ui_prompt_set_visible(prompt, false);
  return prompt;
}

void set_prompt_on(Prompt prompt, bool on) {
  ui_prompt_set_enabled(prompt, on);
  ui_prompt_set_visible(prompt, on);
}
