// An extra line as AddExtraLine stores it: the record
// "X1,Y1,X2,Y2,Thickness,PenStyle,Colour".
#ifndef PLOTVANE_ENGINE_EXTRA_LINE_H_
#define PLOTVANE_ENGINE_EXTRA_LINE_H_

#include <string>

#include "engine/types.h"

namespace plotvane {

struct ExtraLine {
  Int64 x1 = 0, y1 = 0, x2 = 0, y2 = 0, thickness = 0, colour = 0;
  std::u16string style;
};

// Splits a record from the right; the leftmost field takes whatever remains,
// and a number that does not read is 0.
ExtraLine ParseExtraLine(std::u16string record);

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_EXTRA_LINE_H_
