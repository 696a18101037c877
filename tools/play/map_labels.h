#pragma once
// Where the map's labels go: each beside what it names, inside its panel,
// never on another label and, where there is room, on no mark either.

#include <optional>
#include <string>
#include <vector>

namespace play {

// A rectangle of the picture, in pixels.
struct Box {
  double left = 0, top = 0, right = 0, bottom = 0;

  bool overlaps(const Box& other) const;
  bool inside(const Box& other) const;
  static Box around(double x, double y, double half) {
    return {x - half, y - half, x + half, y + half};
  }
};

// A label's box at a font size, as wide as the widest sans-serif the picture
// is likely drawn with, so that a narrower face only leaves more room.
double text_width(const std::string& text, double font_size);
double text_height(double font_size);

struct PlacedLabel {
  Box box;
  double x = 0, y = 0;  // where the text starts, on its baseline
  bool away = false;    // away from what it names: a leader line tells what
};

class LabelPlacer {
 public:
  explicit LabelPlacer(const Box& frame) : frame_(frame) {}

  // Something drawn a label should rather not cover.
  void keep_clear(const Box& mark) { marks_.push_back(mark); }

  // The first of the candidate boxes (in order of preference, each as wide
  // and high as the text) inside the frame and clear of every label placed
  // so far, and of the marks too if any such box is; nothing when no box is.
  std::optional<PlacedLabel> place(const std::vector<Box>& candidates, double font_size,
                                   size_t near_count);

  // Boxes for a text beside the point (x, y): to its right, left, above,
  // below and on the diagonals, `clearance` away, then farther out. The
  // first `near_count()` of them touch the point's clearance.
  static std::vector<Box> beside(double x, double y, double clearance, double width, double height);
  static size_t near_count() { return 8; }

 private:
  bool clear(const Box& box, bool of_marks) const;

  Box frame_;
  std::vector<Box> labels_;
  std::vector<Box> marks_;
};

}  // namespace play
