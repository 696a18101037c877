#include "keyboard.h"

#include <charconv>

namespace play {

namespace {

struct NamedKey {
  const char* name;
  uint8_t code;
  uint8_t scan;
  bool extended;
};

// The standard layout's keys; letters, digits and F1 to F24 are made below.
constexpr NamedKey named_keys[] = {
    {"BACK", 0x08, 0x0E, false},      {"BACKSPACE", 0x08, 0x0E, false},
    {"TAB", 0x09, 0x0F, false},       {"CLEAR", 0x0C, 0x4C, false},
    {"RETURN", 0x0D, 0x1C, false},    {"ENTER", 0x0D, 0x1C, false},
    {"SHIFT", 0x10, 0x2A, false},     {"CONTROL", 0x11, 0x1D, false},
    {"CTRL", 0x11, 0x1D, false},      {"MENU", 0x12, 0x38, false},
    {"ALT", 0x12, 0x38, false},       {"PAUSE", 0x13, 0x45, false},
    {"CAPITAL", 0x14, 0x3A, false},   {"CAPSLOCK", 0x14, 0x3A, false},
    {"ESCAPE", 0x1B, 0x01, false},    {"ESC", 0x1B, 0x01, false},
    {"SPACE", 0x20, 0x39, false},     {"PRIOR", 0x21, 0x49, true},
    {"PAGEUP", 0x21, 0x49, true},     {"NEXT", 0x22, 0x51, true},
    {"PAGEDOWN", 0x22, 0x51, true},   {"END", 0x23, 0x4F, true},
    {"HOME", 0x24, 0x47, true},       {"LEFT", 0x25, 0x4B, true},
    {"UP", 0x26, 0x48, true},         {"RIGHT", 0x27, 0x4D, true},
    {"DOWN", 0x28, 0x50, true},       {"SNAPSHOT", 0x2C, 0x37, true},
    {"INSERT", 0x2D, 0x52, true},     {"DELETE", 0x2E, 0x53, true},
    {"LWIN", 0x5B, 0x5B, true},       {"RWIN", 0x5C, 0x5C, true},
    {"APPS", 0x5D, 0x5D, true},       {"NUMPAD0", 0x60, 0x52, false},
    {"NUMPAD1", 0x61, 0x4F, false},   {"NUMPAD2", 0x62, 0x50, false},
    {"NUMPAD3", 0x63, 0x51, false},   {"NUMPAD4", 0x64, 0x4B, false},
    {"NUMPAD5", 0x65, 0x4C, false},   {"NUMPAD6", 0x66, 0x4D, false},
    {"NUMPAD7", 0x67, 0x47, false},   {"NUMPAD8", 0x68, 0x48, false},
    {"NUMPAD9", 0x69, 0x49, false},   {"MULTIPLY", 0x6A, 0x37, false},
    {"ADD", 0x6B, 0x4E, false},       {"SEPARATOR", 0x6C, 0x53, false},
    {"SUBTRACT", 0x6D, 0x4A, false},  {"DECIMAL", 0x6E, 0x53, false},
    {"DIVIDE", 0x6F, 0x35, true},     {"NUMLOCK", 0x90, 0x45, true},
    {"SCROLL", 0x91, 0x46, false},    {"LSHIFT", 0xA0, 0x2A, false},
    {"RSHIFT", 0xA1, 0x36, false},    {"LCONTROL", 0xA2, 0x1D, false},
    {"RCONTROL", 0xA3, 0x1D, true},   {"LMENU", 0xA4, 0x38, false},
    {"RMENU", 0xA5, 0x38, true},      {"OEM_1", 0xBA, 0x27, false},
    {"OEM_PLUS", 0xBB, 0x0D, false},  {"OEM_COMMA", 0xBC, 0x33, false},
    {"OEM_MINUS", 0xBD, 0x0C, false}, {"OEM_PERIOD", 0xBE, 0x34, false},
    {"OEM_2", 0xBF, 0x35, false},     {"OEM_3", 0xC0, 0x29, false},
    {"OEM_4", 0xDB, 0x1A, false},     {"OEM_5", 0xDC, 0x2B, false},
    {"OEM_6", 0xDD, 0x1B, false},     {"OEM_7", 0xDE, 0x28, false},
};

// Scan codes of A to Z, of the digits 0 to 9, and of F1 to F24.
constexpr uint8_t letter_scans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                      0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                      0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
constexpr uint8_t digit_scans[10] = {0x0B, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
constexpr uint8_t function_scans[24] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42,
                                        0x43, 0x44, 0x57, 0x58, 0x64, 0x65, 0x66, 0x67,
                                        0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};

bool key_named(const std::string& name, VirtualKey& key) {
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') {
    key = {static_cast<uint8_t>(name[0]), letter_scans[name[0] - 'A'], false};
    return true;
  }
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
    key = {static_cast<uint8_t>(name[0]), digit_scans[name[0] - '0'], false};
    return true;
  }
  if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
    int n = 0;
    auto [end, ec] = std::from_chars(name.data() + 1, name.data() + name.size(), n);
    if (ec == std::errc() && end == name.data() + name.size() && n >= 1 && n <= 24 &&
        name[1] != '0') {
      key = {static_cast<uint8_t>(0x70 + n - 1), function_scans[n - 1], false};
      return true;
    }
    return false;
  }
  for (const NamedKey& k : named_keys) {
    if (name == k.name) {
      key = {k.code, k.scan, k.extended};
      return true;
    }
  }
  return false;
}

// A code's key as the layout has it, for a key given by its code.
VirtualKey key_of_code(uint8_t code) {
  for (int n = 0; n < 26; ++n) {
    if (code == 'A' + n) return {code, letter_scans[n], false};
  }
  for (int n = 0; n < 10; ++n) {
    if (code == '0' + n) return {code, digit_scans[n], false};
  }
  if (code >= 0x70 && code < 0x70 + 24) return {code, function_scans[code - 0x70], false};
  for (const NamedKey& k : named_keys) {
    if (k.code == code) return {code, k.scan, k.extended};
  }
  return {code, 0, false};
}

}  // namespace

bool find_key(const std::string& written, VirtualKey& key) {
  std::string name;
  for (char c : written) name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  if (name.rfind("VK_", 0) == 0) name = name.substr(3);
  if (key_named(name, key)) return true;
  unsigned value = 0;
  const bool hex = name.rfind("0X", 0) == 0;
  const char* first = name.data() + (hex ? 2 : 0);
  const char* last = name.data() + name.size();
  auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (first == last || ec != std::errc() || end != last || value > 255) return false;
  key = key_of_code(static_cast<uint8_t>(value));
  return true;
}

bool Keyboard::alt_held() const {
  for (const auto& [code, h] : held_) {
    if (code == 0x12 || code == 0xA4 || code == 0xA5) return true;
  }
  return false;
}

void Keyboard::send(sim::Host& host, const VirtualKey& key, bool was_down, bool is_up) const {
  host.send_key(key.code, 1, key.scan, key.extended ? 1 : 0, alt_held() ? 1 : 0, was_down ? 1 : 0,
                is_up ? 1 : 0);
}

void Keyboard::press(sim::Host& host, const VirtualKey& key, uint64_t elapsed_ms) {
  const bool was_down = held(key.code);
  if (!was_down) held_[key.code] = {key, elapsed_ms + repeat_delay_ms};
  send(host, key, was_down, false);
}

bool Keyboard::release(sim::Host& host, uint8_t code) {
  auto it = held_.find(code);
  if (it == held_.end()) return false;
  const VirtualKey key = it->second.key;
  held_.erase(it);
  send(host, key, true, true);
  return true;
}

void Keyboard::before_frame(sim::Host& host, uint64_t elapsed_ms) {
  for (auto& [code, h] : held_) {
    while (elapsed_ms >= h.next_repeat_ms) {
      send(host, h.key, true, false);
      h.next_repeat_ms += repeat_ms;
    }
  }
}

}  // namespace play
