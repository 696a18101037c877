#include "prompts.h"

#include "natives.h"

#if !defined(TOOLKIT_PROMPT_STANDARD_MODE) && !defined(TOOLKIT_PROMPT_HOLD_MODE)
#error "each deliverable chooses its prompt mode at build time"
#endif

Prompt create_labelled_prompt(const char* label, Hash control) {
  const Prompt prompt = ui_prompt_register_begin();
  ui_prompt_set_control_action(prompt, control);
  const char* text = var_string(10, "LITERAL_STRING", label != nullptr ? label : "");
  // A failed call gives no text; the prompt then shows none.
  if (text != nullptr) ui_prompt_set_text(prompt, text);
#if defined(TOOLKIT_PROMPT_STANDARD_MODE)
  ui_prompt_set_standard_mode(prompt, false);
#else
  ui_prompt_set_hold_mode(prompt, 550);
#endif
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
