#include <cmath>
#include <sstream>

#include "json_out.h"
#include "map.h"
#include "report.h"

namespace play {

namespace {

// Metres and screen fractions to a centimetre or a ten-thousandth: enough
// to draw, and short.
float rounded(float value, float unit) {
  if (!std::isfinite(value)) return value;
  return static_cast<float>(std::round(static_cast<double>(value) / unit) * unit);
}

// Records as objects of named fields: open(), then a field each, close().
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
      open();
      write(all[n]);
      close();
    }
    j_.raw("]}");
  }
  // A list of records of no version, under a field of the record open.
  template <typename Record, typename Write>
  void list_of(const char* name, const std::vector<Record>& all, Write write) {
    key(name).raw("[");
    for (size_t n = 0; n < all.size(); ++n) {
      if (n != 0) j_.raw(",");
      open();
      write(all[n]);
      close();
    }
    j_.raw("]");
  }

  void open() {
    j_.raw("{");
    first_ = true;
  }
  void close() {
    j_.raw("}");
    first_ = false;
  }
  // A record within the record open, under its name.
  void open(const char* name) {
    key(name);
    open();
  }
  void null(const char* name) { key(name).raw("null"); }

  Writer& n(const char* name, uint64_t v) {
    key(name).number(v);
    return *this;
  }
  Writer& i(const char* name, int v) {
    key(name).number(static_cast<int64_t>(v));
    return *this;
  }
  Writer& m(const char* name, float v) {  // metres
    key(name).number(rounded(v, 0.01f));
    return *this;
  }
  Writer& s(const char* name, float v) {  // a fraction of the screen
    key(name).number(rounded(v, 0.0001f));
    return *this;
  }
  Writer& deg(const char* name, float v) {  // an angle
    key(name).number(rounded(v, 0.01f));
    return *this;
  }
  Writer& real(const char* name, double v) {
    key(name).number(v);
    return *this;
  }
  Writer& t(const char* name, const std::string& v) {
    key(name).text(v);
    return *this;
  }
  Writer& b(const char* name, bool v) {
    key(name).raw(v ? "true" : "false");
    return *this;
  }
  Writer& colour(const char* name, const int (&rgba)[4]) {
    key(name).raw("[");
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
  JsonOut& key(const char* name) {
    if (!first_) j_.raw(",");
    first_ = false;
    return j_.raw("\"").raw(name).raw("\":");
  }

  JsonOut& j_;
  uint64_t since_;
  bool first_ = true;
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
    w.open();
    w.n("frame", d.clock[n].first).n("ms", d.clock[n].second);
    w.close();
  }
  j.raw("]");
  w.records("moments", d.moments, [&](const Moment& r) {
    w.n("frame", r.frame).t("kind", r.kind).t("text", r.text).i("line", r.line);
  });
  w.records("lines", d.lines,
            [&](const LineShown& r) { w.n("frame", r.frame).t("kind", r.kind).t("text", r.text); });
  w.records("path", d.path, [&](const PathPoint& r) {
    w.n("frame", r.frame).m("x", r.x).m("y", r.y).b("leg", r.leg);
  });
  w.records("things", d.things, [&](const Thing& r) {
    w.n("from", r.from).n("to", r.to).t("kind", r.kind).t("model", r.model);
    w.t("nickname", r.nickname).i("owner", r.owner);
    w.list_of("moves", r.moves,
              [&](const Thing::Move& m) { w.n("frame", m.frame).m("x", m.x).m("y", m.y); });
  });
  w.records("prompts", d.prompts, [&](const PromptShown& r) {
    w.n("from", r.from).n("to", r.to).t("label", r.label).t("control", r.control);
    w.i("owner", r.owner).i("hold_ms", r.hold_ms);
    if (r.has_reach) {
      w.open("reach");
      w.m("x", r.x).m("y", r.y).m("radius", r.radius);
      w.close();
    } else {
      w.null("reach");
    }
    w.list_of("holds", r.holds, [&](const std::pair<uint64_t, uint64_t>& h) {
      w.n("from", h.first).n("to", h.second);
    });
    if (r.follows >= 0) {
      w.open("near");
      w.i("thing", r.follows).m("radius", r.near_radius);
      w.close();
    } else {
      w.null("near");
    }
  });
  w.records("texts", d.texts, [&](const TextShown& r) {
    w.n("from", r.from).n("to", r.to).t("text", r.text).s("x", r.x).s("y", r.y);
    w.s("scale_x", r.scale_x).s("scale_y", r.scale_y).colour("colour", r.colour);
    w.b("centred", r.centred).b("shadow", r.shadow).i("owner", r.owner);
  });
  w.records("boxes", d.boxes, [&](const BoxShown& r) {
    w.n("from", r.from).n("to", r.to).t("texture", r.texture).s("x", r.x).s("y", r.y);
    w.s("width", r.width).s("height", r.height).colour("colour", r.colour);
    w.i("owner", r.owner).deg("heading", r.heading);
  });
  w.records("notices", d.notices, [&](const Notice& r) {
    w.n("frame", r.frame).t("kind", r.kind).t("text", r.text).i("ms", r.ms).i("value", r.value);
  });
  w.records("values", d.values, [&](const ValueShown& r) {
    w.t("name", r.name).n("frame", r.frame).n("ms", r.ms);
    w.real("from", r.from).real("to", r.to).b("gone", r.gone);
  });
  j.raw(",\"palette\":{");
  for (const NamedColour& c : map_colours) {
    if (&c != map_colours) j.raw(",");
    j.text(c.name).raw(":").text(c.colour);
  }
  j.raw("}");
  j.raw(",\"areas\":[");
  for (size_t n = 0; n < d.areas.size(); ++n) {
    const Area& a = d.areas[n];
    if (n != 0) j.raw(",");
    w.open();
    w.t("kind", a.kind).t("name", a.name).m("x", a.x).m("y", a.y).m("radius", a.radius);
    w.m("x1", a.x1).m("y1", a.y1);
    w.close();
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
