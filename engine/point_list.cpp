#include "engine/point_list.h"

namespace plotvane {

void TPointList::Add(const std::u16string& colour, TPointEntry point) {
  auto found = line_of_colour_.find(colour);
  if (found == line_of_colour_.end()) {
    found = line_of_colour_.emplace(colour, lines_.size()).first;
    lines_.push_back(Line{colour, {}});
  }
  lines_[found->second].Points.push_back(std::move(point));
  ++count_;
}

void TPointList::Clear() {
  lines_.clear();
  line_of_colour_.clear();
  count_ = 0;
}

}  // namespace plotvane
