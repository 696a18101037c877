#pragma once
// The record of native calls: each call with its arguments decoded by the
// kinds its table row gives, and its result. Recording a call allocates
// nothing of its own: arguments go into one shared store and each distinct
// text is kept once, so a long run with the record on stays cheap.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "native_table.h"
#include "plugin_id.h"

namespace sim {

struct CallArg {
  uint64_t raw = 0;
  char kind = 'i';
  std::string_view text;     // strings as passed, handles behind an address
  std::string_view written;  // a handle behind an address the native changed: what it wrote
};

// A call's handles passed by address as the script passed them, before the
// native may write over them.
struct PassedHandles {
  uint32_t mask = 0;  // bit n: argument n is one
  int32_t value[max_native_args] = {};
  void note(const NativeCall& call);
};

// One call's arguments: a view into the log's store, valid while the log is.
class CallArgs {
 public:
  CallArgs() = default;
  CallArgs(const std::vector<CallArg>* store, uint32_t first, uint32_t count)
      : store_(store), first_(first), count_(count) {}
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const CallArg& operator[](size_t n) const { return (*store_)[first_ + n]; }
  const CallArg& at(size_t n) const {
    if (n >= count_) throw std::out_of_range("the call has no argument " + std::to_string(n + 1));
    return (*this)[n];
  }
  const CallArg& front() const { return at(0); }
  const CallArg& back() const { return at(count_ - 1); }
  const CallArg* begin() const { return count_ == 0 ? nullptr : &(*store_)[first_]; }
  const CallArg* end() const { return begin() + count_; }

 private:
  const std::vector<CallArg>* store_ = nullptr;
  uint32_t first_ = 0;
  uint32_t count_ = 0;
};

// Who answered a call: the world from its state, the host itself, a
// scenario's answer for a native the world does not simulate; or nobody,
// and it answered 0: not simulated, failing, or refused as unsound.
enum class Answerer : uint8_t { world, host, answer, nobody, failed, refused };
const char* answerer_name(Answerer a);

struct CallRecord {
  uint64_t frame = 0;
  PluginId by;          // the plug-in that called
  uint64_t script = 0;  // its script, by the host's number
  Answerer answered = Answerer::nobody;
  uint64_t hash = 0;
  const NativeRow* row = nullptr;
  const NativeRow* via = nullptr;  // the host's own native it came in as
  CallArgs args;
  uint64_t result[3] = {};
  std::string_view result_text;  // a text result as the game handed it out
  std::string text() const;      // "NAME(args) -> result"

  std::string name() const;                   // the native's name, or its hash
  std::string argument_text(size_t n) const;  // as text() writes it
  char result_kind() const;                   // as the table's result letters
  std::string result_written() const;         // as text() writes it; empty for none
  static float as_float(uint64_t slot);       // a float in the low half of a slot
};

class CallLog {
 public:
  CallLog() = default;
  CallLog(const CallLog&) = delete;  // records point into this log's store
  CallLog& operator=(const CallLog&) = delete;

  // The call as the record keeps it, read at the moment it was made.
  void add(uint64_t frame, const NativeCall& call, const PassedHandles& passed);
  const std::vector<CallRecord>& records() const { return records_; }
  CallRecord& last() { return records_.back(); }
  void clear();

 private:
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::string_view keep(std::string_view text);

  std::vector<CallRecord> records_;
  std::vector<CallArg> args_;
  std::unordered_set<std::string, TextHash, std::equal_to<>> texts_;  // kept across clears
};

}  // namespace sim
