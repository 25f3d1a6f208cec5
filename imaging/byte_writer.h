// Byte sinks for the image writers.
//
//   ByteWriter        the interface every encoder writes through
//   VectorByteWriter  appends to a std::vector<uint8_t> the caller owns
//   FileByteWriter    creates (or truncates) a file and writes into it
//   WriteFile         writes a finished buffer to a file in one call
//
// The encoders write whole files front to back and never seek, so a sink only
// has to append.
#ifndef PLOTVANE_IMAGING_BYTE_WRITER_H_
#define PLOTVANE_IMAGING_BYTE_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plotvane {

class ByteWriter {
 public:
  ByteWriter() = default;
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;
  virtual ~ByteWriter() = default;

  // Appends `size` bytes from `data` (which may be null when size is 0).
  // Throws what the sink throws (EFileError for files, std::bad_alloc).
  virtual void Write(const void* data, size_t size) = 0;

  void WriteByte(uint8_t value) { Write(&value, 1); }
  void Write(const std::vector<uint8_t>& bytes) { Write(bytes.data(), bytes.size()); }
};

// Appends to `*out`, which must outlive the writer. Existing contents stay.
class VectorByteWriter : public ByteWriter {
 public:
  explicit VectorByteWriter(std::vector<uint8_t>* out) : out_(out) {}
  void Write(const void* data, size_t size) override;
  using ByteWriter::Write;

 private:
  std::vector<uint8_t>* out_;
};

// Owns one open file. Created files are truncated; the destructor closes the
// file without reporting errors, so callers that need to know whether the
// bytes reached the disk call Close().
class FileByteWriter : public ByteWriter {
 public:
  // Creates or overwrites `path`.
  // Throws EFileError "Cannot create file "<path>". <reason>" with errno.
  explicit FileByteWriter(const std::string& path);
  ~FileByteWriter() override;
  FileByteWriter(FileByteWriter&& other) noexcept;
  FileByteWriter& operator=(FileByteWriter&&) = delete;

  // Throws EFileError "Error writing file "<path>". <reason>" with errno.
  // REQUIRES: the file is open (Close() not yet called).
  void Write(const void* data, size_t size) override;
  using ByteWriter::Write;

  // Flushes and closes; afterwards the writer is empty and Write must not be
  // called. Calling it twice is harmless. Throws EFileError as Write does.
  void Close();

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

// Creates or overwrites `path` with `bytes` and closes it. Throws EFileError.
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Big- and little-endian appenders for assembling headers in memory.
inline void PutU16LE(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}
inline void PutU32LE(std::vector<uint8_t>* out, uint32_t v) {
  PutU16LE(out, v & 0xFFFF);
  PutU16LE(out, v >> 16);
}
inline void PutU32BE(std::vector<uint8_t>* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace plotvane

#endif  // PLOTVANE_IMAGING_BYTE_WRITER_H_
