// Base64 text of a byte buffer, as the picture is delivered to scripts.
#ifndef PLOTVANE_IMAGING_BASE64_H_
#define PLOTVANE_IMAGING_BASE64_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace plotvane {

// Returns `Size` bytes of `Buffer` as Base64 (A-Z a-z 0-9 + /, "=" padding)
// in lines of 76 characters, each full line, the last one included, followed
// by CR LF; a shorter last line has no line break. Size 0 gives "".
// REQUIRES: Buffer points to Size bytes (or Size is 0).
std::string BufferToBase64(const uint8_t* Buffer, size_t Size);

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_BASE64_H_
