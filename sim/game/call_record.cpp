#include "call_record.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace sim {

static std::string hex(uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llX", static_cast<unsigned long long>(v));
  return text;
}

static char variadic_kind(const NativeCall& call) {
  const char kind = formatter_tail_kind(call);
  return kind == '?' ? 'i' : kind;
}

void CallLog::add(uint64_t frame, const NativeCall& call) {
  CallRecord r;
  r.frame = frame;
  r.row = call.row;
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
      a.kind = !params.empty() && params.back() == '.' ? variadic_kind(call) : 'i';
    }
    if ((a.kind == 's' || a.kind == 'z') && a.raw != 0) a.text = keep(call.s(n));
    if (a.kind == 'h' && a.raw != 0) {
      char number[16];
      const auto written = std::to_chars(number, number + sizeof number, *call.p<int32_t>(n));
      a.text = keep(std::string_view(number, static_cast<size_t>(written.ptr - number)));
    }
    args_.push_back(a);
  }
  r.args = CallArgs(&args_, first, static_cast<uint32_t>(call.count));
  for (int n = 0; n < 3; ++n) r.result[n] = call.result[n];
  if (call.row != nullptr && call.row->result == 's' && call.result[0] != 0) {
    r.result_text = keep(reinterpret_cast<const char*>(static_cast<uintptr_t>(call.result[0])));
  }
  records_.push_back(r);
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

static std::string float_text(uint64_t slot) {
  const auto bits = static_cast<uint32_t>(slot);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : "?";
}

std::string CallRecord::text() const {
  std::string out = row != nullptr ? row->name : hex(hash);
  out += '(';
  for (size_t n = 0; n < args.size(); ++n) {
    const CallArg& a = args[n];
    if (n > 0) out += ", ";
    switch (a.kind) {
      case 'f':
        out += float_text(a.raw);
        break;
      case 's':
      case 'z':
        out += a.raw == 0 ? std::string("null") : '"' + std::string(a.text) + '"';
        break;
      case 'p':
        out += '&';
        break;
      case 'h':
        out += '&' + std::string(a.text);
        break;
      case 'x':
        out += std::to_string(static_cast<int64_t>(a.raw));
        break;
      default:
        out += std::to_string(static_cast<int32_t>(static_cast<uint32_t>(a.raw)));
        break;
    }
  }
  out += ')';
  const char result_kind = row != nullptr ? row->result : 'v';
  switch (result_kind) {
    case 'v':
      break;
    case 'f':
      out += " -> " + float_text(result[0]);
      break;
    case 'V':
      out += " -> (" + float_text(result[0]) + ", " + float_text(result[1]) + ", " +
             float_text(result[2]) + ")";
      break;
    case 's':
      out += result[0] == 0 ? std::string(" -> null") : " -> \"" + std::string(result_text) + '"';
      break;
    default:
      out += " -> " + std::to_string(static_cast<int32_t>(static_cast<uint32_t>(result[0])));
  }
  return out;
}

}  // namespace sim
