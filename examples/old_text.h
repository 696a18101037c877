#pragma once
// The text natives of the older headers, which many published plug-ins
// still call. The game no longer has them: the host sends three on to their
// replacements and answers the other two itself.

#include "native_call.h"

inline void set_text_scale(float x, float y) { invoke(0x4170B650590B3B00, x, y); }
inline void set_text_color(int red, int green, int blue, int alpha) {
  invoke(0x50A41AD966910F03, red, green, blue, alpha);
}
inline void set_text_centre(bool centre) { invoke(0xBE5261939FBECB8C, centre); }
inline void set_text_dropshadow(int distance, int red, int green, int blue, int alpha) {
  invoke(0x1BE39DBAA7263CA5, distance, red, green, blue, alpha);
}
inline void display_text(const char* text, float x, float y) {
  invoke(0xD79334A4BB99BAD1, text, x, y);
}
