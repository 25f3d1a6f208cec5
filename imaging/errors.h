// The image writers' exceptions. Their messages reach the client verbatim.
#ifndef PLOTVANE_IMAGING_ERRORS_H_
#define PLOTVANE_IMAGING_ERRORS_H_

#include <stdexcept>
#include <string>

namespace plotvane {

// The compressor behind the PNG writer failed; the message is zlib's own.
class EPNGError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The GIF writer met a pixel its colour table cannot hold:
// "Color not in color table".
class EGIFError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The JPEG library refused the picture or ran out of memory; the message is
// the library's own text for the condition.
class EJPEGError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file could not be created or written. The message names the path and the
// system's reason; error_code() is the system's error number (errno).
class EFileError : public std::runtime_error {
 public:
  EFileError(const std::string& message, int error_code)
      : std::runtime_error(message), error_code_(error_code) {}
  int error_code() const { return error_code_; }

 private:
  int error_code_;
};

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_ERRORS_H_
