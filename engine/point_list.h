// TPointList: the points of line graphs and of lines over bars.
//
// Points are grouped into lines by their colour string (upper-cased, not
// otherwise normalised): the points of one colour stay together in the order
// they were added, and the lines keep the order in which their colour first
// appeared. Adding points A1, B1, A2, C1, B2 (letters are colours) gives the
// order A1, A2, B1, B2, C1. Keeping each line in its own run makes adding a
// point cost the same whatever the number of points already held.
#ifndef PLOTVANE_ENGINE_POINT_LIST_H_
#define PLOTVANE_ENGINE_POINT_LIST_H_

#include <string>
#include <unordered_map>
#include <vector>

namespace plotvane {

struct TPointEntry {
  std::u16string X;         // value text of X
  std::u16string Y;         // value text of Y
  std::u16string LineName;  // the line name as given
};

class TPointList {
 public:
  struct Line {
    std::u16string Colour;  // the upper-cased colour string every point of it carries
    std::vector<TPointEntry> Points;
  };

  // Adds a point to the line of `colour` (already upper-cased), creating the
  // line after the existing ones when the colour is new.
  void Add(const std::u16string& colour, TPointEntry point);
  void Clear();
  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  // The lines in order; the points of the whole list are the lines' points
  // one line after the other.
  const std::vector<Line>& Lines() const { return lines_; }

 private:
  std::vector<Line> lines_;
  std::unordered_map<std::u16string, size_t> line_of_colour_;
  int count_ = 0;
};

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_POINT_LIST_H_
