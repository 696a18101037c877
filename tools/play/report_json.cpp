#include <cmath>
#include <sstream>

#include "json_out.h"
#include "report.h"

namespace play {

namespace {

// Metres and screen fractions to a centimetre or a ten-thousandth: enough
// to draw, and short.
float rounded(float value, float unit) {
  if (!std::isfinite(value)) return value;
  return static_cast<float>(std::round(static_cast<double>(value) / unit) * unit);
}

class Writer {
 public:
  Writer(JsonOut& json, uint64_t since) : j_(json), since_(since) {}

  // An array of records, from the first one changed after `since`: a live
  // page drops what it holds from there and takes these.
  template <typename Record, typename Write>
  void records(const char* name, const std::vector<Record>& all, Write write) {
    size_t from = 0;
    if (since_ != 0) {
      from = all.size();
      for (size_t n = 0; n < all.size(); ++n) {
        if (all[n].version > since_) {
          from = n;
          break;
        }
      }
    }
    j_.raw(",\"").raw(name).raw("\":{\"from\":").number(static_cast<uint64_t>(from));
    j_.raw(",\"items\":[");
    for (size_t n = from; n < all.size(); ++n) {
      if (n != from) j_.raw(",");
      j_.raw("[");
      write(all[n]);
      j_.raw("]");
    }
    j_.raw("]}");
  }

  Writer& n(uint64_t v) {
    j_.number(v);
    return *this;
  }
  Writer& i(int v) {
    j_.number(static_cast<int64_t>(v));
    return *this;
  }
  Writer& m(float v) {  // metres
    j_.number(rounded(v, 0.01f));
    return *this;
  }
  Writer& s(float v) {  // a fraction of the screen
    j_.number(rounded(v, 0.0001f));
    return *this;
  }
  Writer& deg(float v) {  // an angle
    j_.number(rounded(v, 0.01f));
    return *this;
  }
  Writer& t(const std::string& v) {
    j_.text(v);
    return *this;
  }
  Writer& b(bool v) {
    j_.raw(v ? "1" : "0");
    return *this;
  }
  Writer& c() {
    j_.raw(",");
    return *this;
  }
  Writer& colour(const int (&rgba)[4]) {
    j_.raw("[");
    for (int k = 0; k < 4; ++k) {
      if (k != 0) j_.raw(",");
      j_.number(static_cast<int64_t>(rgba[k]));
    }
    j_.raw("]");
    return *this;
  }
  // A list of texts, and one under its name.
  void list(const std::vector<std::string>& all) {
    j_.raw("[");
    for (size_t n = 0; n < all.size(); ++n) {
      if (n != 0) j_.raw(",");
      j_.text(all[n]);
    }
    j_.raw("]");
  }
  void texts(const char* name, const std::vector<std::string>& all) {
    j_.raw(",\"").raw(name).raw("\":");
    list(all);
  }

 private:
  JsonOut& j_;
  uint64_t since_;
};

}  // namespace

const std::vector<std::pair<std::string, std::string>>& control_keys() {
  static const std::vector<std::pair<std::string, std::string>> keys = {
      {"INPUT_ENTER", "F"},
      {"INPUT_CONTEXT_X", "R"},
      {"INPUT_CONTEXT_B", "G"},
      {"INPUT_LOOT", "V"},
  };
  return keys;
}

void write_report_json(std::ostream& out, const ReportData& d, uint64_t since) {
  JsonOut j(out);
  Writer w(j, since);
  j.raw("{\"version\":").number(d.version);
  j.raw(",\"live\":").raw(d.live ? "true" : "false");
  j.raw(",\"title\":").text(d.title);
  w.texts("plugins", d.plugins);
  j.raw(",\"status\":").number(static_cast<int64_t>(d.status));
  j.raw(",\"first\":").number(d.first_frame);
  j.raw(",\"last\":").number(d.last_frame);
  j.raw(",\"failure\":");
  if (d.failure_frame != 0) {
    j.raw("{\"frame\":").number(d.failure_frame).raw(",\"text\":").text(d.failure).raw("}");
  } else {
    j.raw("null");
  }
  j.raw(",\"clock\":[");
  for (size_t n = 0; n < d.clock.size(); ++n) {
    if (n != 0) j.raw(",");
    j.raw("[").number(d.clock[n].first).raw(",").number(d.clock[n].second).raw("]");
  }
  j.raw("]");
  w.records("moments", d.moments,
            [&](const Moment& r) { w.n(r.frame).c().t(r.kind).c().t(r.text).c().i(r.line); });
  w.records("lines", d.lines, [&](const Moment& r) { w.n(r.frame).c().t(r.text); });
  w.records("path", d.path,
            [&](const PathPoint& r) { w.n(r.frame).c().m(r.x).c().m(r.y).c().b(r.leg); });
  w.records("things", d.things, [&](const Thing& r) {
    w.n(r.from).c().n(r.to).c().t(r.kind).c().t(r.model).c().t(r.nickname).c().i(r.owner);
    j.raw(",[");
    for (size_t n = 0; n < r.moves.size(); ++n) {
      if (n != 0) j.raw(",");
      w.n(r.moves[n].frame).c().m(r.moves[n].x).c().m(r.moves[n].y);
    }
    j.raw("]");
  });
  w.records("prompts", d.prompts, [&](const PromptShown& r) {
    w.n(r.from).c().n(r.to).c().t(r.label).c().t(r.control).c().i(r.owner).c().i(r.hold_ms);
    if (r.has_reach) {
      j.raw(",[");
      w.m(r.x).c().m(r.y).c().m(r.radius);
      j.raw("]");
    } else {
      j.raw(",null");
    }
    j.raw(",[");
    for (size_t n = 0; n < r.holds.size(); ++n) {
      if (n != 0) j.raw(",");
      j.raw("[");
      w.n(r.holds[n].first).c().n(r.holds[n].second);
      j.raw("]");
    }
    j.raw("]");
    if (r.follows >= 0) {
      j.raw(",[");
      w.i(r.follows).c().m(r.near_radius);
      j.raw("]");
    } else {
      j.raw(",null");
    }
  });
  w.records("texts", d.texts, [&](const TextShown& r) {
    w.n(r.from).c().n(r.to).c().t(r.text).c().s(r.x).c().s(r.y).c().s(r.scale_x).c().s(r.scale_y);
    w.c().colour(r.colour).c().b(r.centred).c().b(r.shadow).c().i(r.owner);
  });
  w.records("boxes", d.boxes, [&](const BoxShown& r) {
    w.n(r.from).c().n(r.to).c().t(r.texture).c().s(r.x).c().s(r.y).c().s(r.width);
    w.c().s(r.height).c().colour(r.colour).c().i(r.owner).c().deg(r.heading);
  });
  w.records("notices", d.notices, [&](const Notice& r) {
    w.n(r.frame).c().t(r.kind).c().t(r.text).c().i(r.ms).c().i(r.value);
  });
  j.raw(",\"areas\":[");
  for (size_t n = 0; n < d.areas.size(); ++n) {
    const Area& a = d.areas[n];
    if (n != 0) j.raw(",");
    j.raw("[");
    w.t(a.kind).c().t(a.name).c().m(a.x).c().m(a.y).c().m(a.radius).c().m(a.x1).c().m(a.y1);
    j.raw("]");
  }
  j.raw("]");
  w.texts("summary", d.summary);
  j.raw(",\"calls\":{");
  bool first = true;
  for (const auto& [frame, calls] : d.calls) {
    if (since != 0 && frame + 1 < d.last_frame) continue;  // a live page shows the latest
    if (!first) j.raw(",");
    first = false;
    j.raw("\"").number(frame).raw("\":");
    w.list(calls);
  }
  j.raw("},\"calls_note\":").text(d.calls_note);
  j.raw(",\"keys\":{");
  for (size_t n = 0; n < d.keys.size(); ++n) {
    if (n != 0) j.raw(",");
    j.text(d.keys[n].first).raw(":").text(d.keys[n].second);
  }
  j.raw("}");
  if (d.live) {
    j.raw(",\"live_ms\":").number(d.live_ms);
    j.raw(",\"paused\":").raw(d.paused ? "true" : "false");
    j.raw(",\"ended\":").raw(d.ended ? "true" : "false");
    j.raw(",\"speed\":").number(d.speed);
    w.texts("faults", d.faults);
  }
  j.raw("}");
}

namespace {

// The page with its style, its script and its data put in their places.
void fill_page(std::ostream& out, const std::string& data) {
  std::string page = page_html();
  const auto put = [&page](const std::string& mark, const std::string& with) {
    const size_t at = page.find(mark);
    if (at != std::string::npos) page.replace(at, mark.size(), with);
  };
  put("/*style*/", page_style());
  put("/*script*/", page_script());
  const size_t at = page.find("/*data*/");
  out << page.substr(0, at);
  if (at != std::string::npos) {
    out << data;
    out << page.substr(at + 8);
  }
}

}  // namespace

void write_report_page(std::ostream& out, const ReportData& data) {
  std::ostringstream json;
  write_report_json(json, data, 0);
  std::string text = std::move(json).str();
  // Inside a script element, "</" would end it; JSON may write it "<\/".
  std::string safe;
  safe.reserve(text.size() + 64);
  for (size_t n = 0; n < text.size(); ++n) {
    safe += text[n];
    if (text[n] == '<' && n + 1 < text.size() && text[n + 1] == '/') safe += '\\';
  }
  fill_page(out, safe);
}

std::string live_page() {
  std::ostringstream out;
  fill_page(out, "null");
  return std::move(out).str();
}

}  // namespace play
