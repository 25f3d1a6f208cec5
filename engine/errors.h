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

// An integer division by zero inside a drawing: "Division by zero" (an
// automatic scale whose label font has the point size 0).
class EDivByZero : public std::runtime_error {
 public:
  EDivByZero() : std::runtime_error("Division by zero") {}
};

}  // namespace plotvane

#endif  // PLOTVANE_ENGINE_ERRORS_H_
