#include "json_out.h"

#include <charconv>
#include <cmath>

namespace play {

namespace {

// The length of the UTF-8 sequence that starts at `at`, or 0 when it is none.
size_t utf8_length(std::string_view s, size_t at) {
  const auto c = static_cast<unsigned char>(s[at]);
  size_t n = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
  } else {
    return 0;
  }
  if (at + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(s[at + k]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

}  // namespace

JsonOut& JsonOut::text(std::string_view s) {
  buffer_ += '"';
  for (size_t at = 0; at < s.size(); ++at) {
    const auto c = static_cast<unsigned char>(s[at]);
    if (c == '"' || c == '\\') {
      buffer_ += '\\';
      buffer_ += static_cast<char>(c);
    } else if (c == '\n') {
      buffer_ += "\\n";
    } else if (c == '\t') {
      buffer_ += "\\t";
    } else if (c < 0x20) {
      static const char digits[] = "0123456789abcdef";
      buffer_ += "\\u00";
      buffer_ += digits[c >> 4];
      buffer_ += digits[c & 15];
    } else if (c < 0x80) {
      buffer_ += static_cast<char>(c);
    } else if (const size_t n = utf8_length(s, at); n > 0) {
      buffer_.append(s.substr(at, n));
      at += n - 1;
    } else {
      buffer_ += "\\ufffd";
    }
  }
  buffer_ += '"';
  if (buffer_.size() >= flush_at) flush();
  return *this;
}

JsonOut& JsonOut::number(int64_t value) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, written.ptr);
  return *this;
}

JsonOut& JsonOut::number(uint64_t value) {
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(digits, written.ptr);
  return *this;
}

// As short as the value's own type allows: a float is written as a float.
template <typename Real>
static void append_real(std::string& buffer, Real value) {
  if (!std::isfinite(value)) {
    buffer += "null";
    return;
  }
  char digits[32];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  buffer.append(digits, written.ptr);
}

JsonOut& JsonOut::number(double value) {
  append_real(buffer_, value);
  return *this;
}

JsonOut& JsonOut::number(float value) {
  append_real(buffer_, value);
  return *this;
}

void JsonOut::flush() {
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
}

}  // namespace play
