// The engine's names for integers and reals, the names its settings, lists
// and operations are declared with. Int64 is the one 64-bit integer of the
// engine: positions worked out beyond the canvas's range, largest values,
// sums that must not wrap.
#ifndef PLOTVANE_ENGINE_TYPES_H_
#define PLOTVANE_ENGINE_TYPES_H_

#include <cstdint>

namespace plotvane {

using Word = uint16_t;
using Integer = int32_t;
using Int64 = int64_t;
using Double = double;
using Single = float;
using Extended = long double;

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_TYPES_H_
