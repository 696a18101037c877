#pragma once
// A streaming JSON writer for long outputs: values are appended to a buffer
// that goes to the stream in large pieces, with no tree built in between.
// Texts are escaped and kept valid UTF-8 (a byte that is not becomes U+FFFD),
// and a float that JSON cannot hold is written as null.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace play {

class JsonOut {
 public:
  explicit JsonOut(std::ostream& out) : out_(out) {}
  JsonOut(const JsonOut&) = delete;
  JsonOut& operator=(const JsonOut&) = delete;
  ~JsonOut() { flush(); }

  JsonOut& raw(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= flush_at) flush();
    return *this;
  }
  JsonOut& text(std::string_view text);  // a JSON string
  JsonOut& number(int64_t value);
  JsonOut& number(uint64_t value);
  JsonOut& number(int32_t value) { return number(static_cast<int64_t>(value)); }
  JsonOut& number(double value);
  JsonOut& number(float value);  // as short as the float allows
  void flush();

 private:
  static constexpr size_t flush_at = 1 << 20;
  std::ostream& out_;
  std::string buffer_;
};

}  // namespace play
