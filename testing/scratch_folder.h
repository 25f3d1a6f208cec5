// A folder of its own under the system's temporary folder, removed with
// everything in it when the owner goes. Used by the fuzz target, the tests and
// the benchmarks whose saving members write there.
#ifndef PLOTVANE_TESTING_SCRATCH_FOLDER_H_
#define PLOTVANE_TESTING_SCRATCH_FOLDER_H_

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace plotvane {

class ScratchFolder {
 public:
  // Makes TMPDIR/<prefix>-XXXXXX (TMPDIR defaulting to /tmp). Throws
  // std::runtime_error when it cannot.
  explicit ScratchFolder(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/" +
                          prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("Cannot make " + pattern);
    path_ = buffer.data();
  }
  ~ScratchFolder() { Remove(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  // Removes a folder and its files; the streams make no deeper folders, but
  // removing them costs nothing.
  static void Remove(const std::string& path) {
    if (DIR* dir = opendir(path.c_str())) {
      while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string child = path + "/" + name;
        struct stat st;
        if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
          Remove(child);
        } else {
          unlink(child.c_str());
        }
      }
      closedir(dir);
    }
    rmdir(path.c_str());
  }

  std::string path_;
};

}  // namespace plotvane

#endif  // PLOTVANE_TESTING_SCRATCH_FOLDER_H_
