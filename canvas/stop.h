// Stopping a drawing part way: the owner of a bitmap may hand it a stop test,
// which drawing on the bitmap makes between operations, between the glyphs of
// a text and every few thousand rows of a long fill. Once the test says stop,
// the drawing throws EStopped and the bitmap holds whatever was painted so
// far. The test reads a flag that another thread may set: it costs a load,
// never a clock's reading.
#ifndef PLOTVANE_CANVAS_STOP_H_
#define PLOTVANE_CANVAS_STOP_H_

#include <atomic>
#include <stdexcept>

namespace plotvane {

// Raised by drawing that was asked to stop.
class EStopped : public std::runtime_error {
 public:
  EStopped() : std::runtime_error("Drawing was stopped.") {}
};

// A test that says whether drawing should stop. The empty test never stops.
struct TStopTest {
  // True asks for the stop; set by any thread, read by the drawing one. Not
  // owned: it must outlive the drawing made under the test.
  const std::atomic<bool>* flag = nullptr;

  bool Stopped() const { return flag != nullptr && flag->load(std::memory_order_relaxed); }
  // Throws EStopped when the test says stop.
  void Check() const {
    if (Stopped()) throw EStopped();
  }
};

}  // namespace plotvane

#endif  // PLOTVANE_CANVAS_STOP_H_
