#include "map_labels.h"

#include <cctype>
#include <cstring>
#include <iterator>

namespace play {

bool Box::overlaps(const Box& other) const {
  return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
}

bool Box::inside(const Box& other) const {
  return left >= other.left && right <= other.right && top >= other.top && bottom <= other.bottom;
}

namespace {

constexpr double pad = 1.5;      // pixels kept free around a label's text
constexpr double ascent = 0.95;  // of the font size, above the baseline
constexpr double descent = 0.25;

// Advance widths of the wide sans-serif faces, in ems, rounded up.
double em_width(unsigned char c) {
  if (std::strchr("ijl'|", c) != nullptr) return 0.28;
  if (std::strchr(".,:; ", c) != nullptr) return 0.34;
  if (std::strchr("frt()[]", c) != nullptr) return 0.42;
  if (c == 'm') return 0.98;
  if (c == 'w') return 0.82;
  if (c == 'M' || c == 'W') return 1.0;
  if (std::isupper(c) != 0) return 0.76;
  if (std::isdigit(c) != 0) return 0.64;
  return 0.63;
}

}  // namespace

double text_width(const std::string& text, double font_size) {
  double ems = 0.0;
  for (char c : text) ems += em_width(static_cast<unsigned char>(c));
  return ems * font_size + 2.0 * pad;
}

double text_height(double font_size) { return (ascent + descent) * font_size + 2.0 * pad; }

bool LabelPlacer::clear(const Box& box, bool of_marks) const {
  for (const Box& l : labels_) {
    if (box.overlaps(l)) return false;
  }
  if (!of_marks) return true;
  for (const Box& m : marks_) {
    if (box.overlaps(m)) return false;
  }
  return true;
}

std::optional<PlacedLabel> LabelPlacer::place(const std::vector<Box>& candidates, double font_size,
                                              size_t near_count) {
  for (bool of_marks : {true, false}) {
    for (size_t n = 0; n < candidates.size(); ++n) {
      const Box& box = candidates[n];
      if (!box.inside(frame_) || !clear(box, of_marks)) continue;
      labels_.push_back(box);
      return PlacedLabel{box, box.left + pad, box.bottom - pad - descent * font_size,
                         n >= near_count};
    }
  }
  return std::nullopt;
}

std::vector<Box> LabelPlacer::beside(double x, double y, double clearance, double width,
                                     double height) {
  std::vector<Box> boxes;
  for (double gap : {0.0, 10.0, 22.0, 36.0, 54.0, 76.0}) {
    const double d = clearance + gap;
    const double mid = y - height / 2.0;
    const double centre = x - width / 2.0;
    // Right, left, above, below, then the corners.
    const double lefts[] = {x + d, x - d - width, centre,        centre,
                            x + d, x + d,         x - d - width, x - d - width};
    const double tops[] = {mid,  mid, y - d - height, y + d, y - d - height, y + d, y - d - height,
                           y + d};
    for (size_t n = 0; n < std::size(lefts); ++n) {
      boxes.push_back({lefts[n], tops[n], lefts[n] + width, tops[n] + height});
    }
  }
  return boxes;
}

}  // namespace play
