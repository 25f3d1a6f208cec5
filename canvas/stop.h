// Stopping a drawing part way: the owner of a bitmap may hand it a stop test,
// which drawing on the bitmap makes between operations, between the glyphs of
// a text and every few thousand rows of a long fill. Once the test says stop,
// the drawing throws EStopped and the bitmap holds whatever was painted so
// far. The test is only read: it costs a call and a flag's load, never a
// clock's.
#ifndef PLOTVANE_CANVAS_STOP_H_
#define PLOTVANE_CANVAS_STOP_H_

#include <stdexcept>

namespace plotvane {

// Raised by drawing that was asked to stop.
class EStopped : public std::runtime_error {
 public:
  EStopped() : std::runtime_error("Drawing was stopped.") {}
};

// A test that says whether drawing should stop. The empty test never stops.
struct TStopTest {
  // Called with `context`; true asks for the stop. Must be safe to call on
  // the drawing thread at any time, and cheap.
  bool (*stop)(void* context) = nullptr;
  void* context = nullptr;

  bool Stopped() const { return stop != nullptr && stop(context); }
  // Throws EStopped when the test says stop.
  void Check() const {
    if (Stopped()) throw EStopped();
  }
};

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_STOP_H_
