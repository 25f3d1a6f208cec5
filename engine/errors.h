// The engine's exceptions. Their messages reach the client verbatim.
#ifndef PLOTVANE_ENGINE_ERRORS_H_
#define PLOTVANE_ENGINE_ERRORS_H_

#include <stdexcept>

namespace plotvane {

// A chart cannot be drawn: "No data items or points defined." or
// "Invalid graph type.".
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A number or date conversion failed: "Format string too long",
// "'abc' is not a valid floating point value".
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_ERRORS_H_
