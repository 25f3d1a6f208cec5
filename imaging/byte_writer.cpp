#include "imaging/byte_writer.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "imaging/errors.h"

namespace plotvane {

namespace {

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int error) {
  throw EFileError(std::string(what) + " \"" + path + "\". " + std::strerror(error), error);
}

}  // namespace

void VectorByteWriter::Write(const void* data, size_t size) {
  if (size == 0) return;
  const auto* bytes = static_cast<const uint8_t*>(data);
  out_->insert(out_->end(), bytes, bytes + size);
}

FileByteWriter::FileByteWriter(const std::string& path) : path_(path) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) ThrowFileError("Cannot create file", path_, errno);
}

FileByteWriter::~FileByteWriter() {
  if (file_ != nullptr) std::fclose(file_);
}

FileByteWriter::FileByteWriter(FileByteWriter&& other) noexcept
    : path_(std::move(other.path_)), file_(std::exchange(other.file_, nullptr)) {}

void FileByteWriter::Write(const void* data, size_t size) {
  if (size == 0) return;
  if (std::fwrite(data, 1, size, file_) != size) {
    ThrowFileError("Error writing file", path_, errno != 0 ? errno : EIO);
  }
}

void FileByteWriter::Close() {
  if (file_ == nullptr) return;
  // fclose releases the handle even when the final flush fails, so the
  // writer is empty either way.
  errno = 0;
  const bool failed = std::fflush(file_) != 0;
  const int error = errno;
  const bool close_failed = std::fclose(std::exchange(file_, nullptr)) != 0;
  if (failed || close_failed) {
    ThrowFileError("Error writing file", path_, error != 0 ? error : (errno != 0 ? errno : EIO));
  }
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FileByteWriter file(path);
  file.Write(bytes);
  file.Close();
}

}  // namespace plotvane
