#include "call_record.h"

#include <charconv>
#include <cstring>

#include "native_words.h"
#include "reference_natives.h"

namespace sim {

static char variadic_kind(const NativeCall& call, int n) {
  const char kind = formatter_arg_kind(call, n);
  return kind == '?' ? 'i' : kind;
}

// Records passed by address that the record spells out, slot by slot:
// 't' marks a slot holding the address of a text, any other an integer.
struct RecordLayout {
  Native native;
  int arg;
  int slots;
  const char* texts;
};
static constexpr RecordLayout record_layouts[] = {
    // a speech request: line, voice, then integers
    {Native::PLAY_PED_AMBIENT_SPEECH_NATIVE, 1, 8, "tt"},
    // a feed notification's duration, and its text and texture dictionary
    {Native::UI_FEED_POST_SAMPLE_TOAST_RIGHT_, 0, 7, ""},
    {Native::UI_FEED_POST_SAMPLE_TOAST_RIGHT_, 1, 7, ".tt"},
};

static std::string spelled_out(const RecordLayout& layout, const uint64_t* slot) {
  std::string out = "{";
  const size_t texts = std::strlen(layout.texts);
  for (int n = 0; n < layout.slots; ++n) {
    if (n > 0) out += ", ";
    const bool text = static_cast<size_t>(n) < texts && layout.texts[n] == 't';
    if (text) {
      const auto* s = reinterpret_cast<const char*>(static_cast<uintptr_t>(slot[n]));
      out += s == nullptr ? std::string("null") : '"' + std::string(s) + '"';
    } else if ((slot[n] >> 32) == 0) {
      out += std::to_string(slot[n]);
    } else {
      out += hex_text(slot[n]);
    }
  }
  return out + "}";
}

// Copied rather than value-initialised, as the journal's entries are.
static const CallRecord blank_record{};

void PassedHandles::note(const NativeCall& call) {
  mask = 0;
  const std::string_view params = call.row != nullptr ? call.row->params : "";
  for (int n = 0; n < call.count && static_cast<size_t>(n) < params.size(); ++n) {
    if (params[static_cast<size_t>(n)] != 'h' || call.args[n] == 0 || !call.readable(n)) continue;
    value[n] = *call.p<int32_t>(n);
    mask |= 1u << n;
  }
}

static std::string_view number_text(int32_t value, char (&number)[16]) {
  const auto written = std::to_chars(number, number + sizeof number, value);
  return {number, static_cast<size_t>(written.ptr - number)};
}

void CallLog::add(uint64_t frame, const NativeCall& call, const PassedHandles& passed) {
  CallRecord& r = records_.emplace_back(blank_record);
  r.frame = frame;
  r.row = call.row;
  r.via = call.via;
  r.hash = call.hash;
  const std::string_view params = call.row != nullptr ? call.row->params : "";
  const auto first = static_cast<uint32_t>(args_.size());
  for (int n = 0; n < call.count; ++n) {
    CallArg a;
    a.raw = call.args[n];
    const auto at = static_cast<size_t>(n);
    if (at < params.size() && params[at] != '.') {
      a.kind = params[at];
    } else {
      a.kind = !params.empty() && params.back() == '.'
                   ? variadic_kind(call, n - static_cast<int>(params.size()) + 1)
                   : 'i';
    }
    if (!call.readable(n)) a.kind = '!';
    if ((a.kind == 's' || a.kind == 'z') && a.raw != 0) a.text = keep(call.s(n));
    if (a.kind == 'h' && a.raw != 0) {
      char number[16];
      const int32_t now = *call.p<int32_t>(n);
      const bool noted = ((passed.mask >> n) & 1u) != 0;
      a.text = keep(number_text(noted ? passed.value[n] : now, number));
      if (noted && now != passed.value[n]) a.written = keep(number_text(now, number));
    }
    if (a.kind == 'p' && a.raw != 0) {
      for (const RecordLayout& layout : record_layouts) {
        if (layout.arg == n && facts_of(layout.native).hash == call.hash) {
          a.text = keep(spelled_out(layout, call.p<const uint64_t>(n)));
        }
      }
    }
    args_.push_back(a);
  }
  r.args = CallArgs(&args_, first, static_cast<uint32_t>(call.count));
  for (int n = 0; n < 3; ++n) r.result[n] = call.result[n];
  if (call.row != nullptr && call.row->result == 's' && call.result[0] != 0) {
    r.result_text = keep(reinterpret_cast<const char*>(static_cast<uintptr_t>(call.result[0])));
  }
}

void CallLog::clear() {
  records_.clear();
  args_.clear();
}

std::string_view CallLog::keep(std::string_view text) {
  auto it = texts_.find(text);
  if (it == texts_.end()) it = texts_.emplace(text).first;
  return *it;
}

const char* answerer_name(Answerer a) {
  switch (a) {
    case Answerer::world:
      return "the world";
    case Answerer::host:
      return "the host";
    case Answerer::answer:
      return "the scenario's answer";
    case Answerer::failed:
      return "nobody: it failed";
    case Answerer::refused:
      return "nobody: the call was refused";
    case Answerer::nobody:
      break;
  }
  return "nobody";
}

float CallRecord::as_float(uint64_t slot) {
  const auto bits = static_cast<uint32_t>(slot);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

static std::string float_text(uint64_t slot) {
  const float v = CallRecord::as_float(slot);
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : "?";
}

std::string CallRecord::name() const { return row != nullptr ? row->name : hex_text(hash); }

char CallRecord::result_kind() const { return row != nullptr ? row->result : 'v'; }

std::string CallRecord::argument_text(size_t n) const {
  const CallArg& a = args[n];
  switch (a.kind) {
    case 'f':
      return float_text(a.raw);
    case 's':
    case 'z':
      return a.raw == 0 ? std::string("null") : '"' + std::string(a.text) + '"';
    case 'p':
      return '&' + std::string(a.text);
    case 'h':
      return '&' + std::string(a.text) +
             (a.written.empty() ? "" : " set to " + std::string(a.written));
    case 'x':
      return std::to_string(static_cast<int64_t>(a.raw));
    case '!':
      return "unreadable " + hex_text(a.raw);
    case 'a':
      return (a.raw >> 32) != 0
                 ? hex_text(a.raw)
                 : std::to_string(static_cast<int32_t>(static_cast<uint32_t>(a.raw)));
    default:
      return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(a.raw)));
  }
}

std::string CallRecord::result_written() const {
  switch (result_kind()) {
    case 'v':
      return "";
    case 'f':
      return float_text(result[0]);
    case 'V':
      return vector_text(float_text(result[0]), float_text(result[1]), float_text(result[2]));
    case 's':
      return result[0] == 0 ? std::string("null") : '"' + std::string(result_text) + '"';
    default:
      return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(result[0])));
  }
}

std::string CallRecord::text() const {
  std::string out = via != nullptr ? std::string(via->name) + " sent on as " + name() : name();
  out += '(';
  for (size_t n = 0; n < args.size(); ++n) {
    if (n > 0) out += ", ";
    out += argument_text(n);
  }
  out += ')';
  const std::string result = result_written();
  if (!result.empty()) out += " -> " + result;
  return out;
}

}  // namespace sim
