// What the service tests share: `plotvane serve` started as a process of
// its own on a free loopback port, an HTTP client (Boost.Beast's, over
// blocking sockets with receive timeouts, so that no test waits forever),
// raw sockets for clients that misbehave, and `plotvane run` for reference
// answers.
#ifndef PLOTVANE_TESTS_SERVE_SERVE_SUPPORT_H_
#define PLOTVANE_TESTS_SERVE_SERVE_SUPPORT_H_

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <gtest/gtest.h>

extern char** environ;

namespace plotvane::serve_test {

namespace fs = std::filesystem;
namespace net = boost::asio;
namespace http = boost::beast::http;
using tcp = net::ip::tcp;
using namespace std::chrono_literals;

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A new empty folder under the test's temporary folder.
inline fs::path NewFolder(const std::string& name) {
  std::string pattern = ::testing::TempDir() + name + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

// Starts `program args...` in `folder`, standard error to `err` (and standard
// output too unless `out` is given). Returns the process id, or -1.
inline pid_t Spawn(const std::vector<std::string>& argv, const fs::path& folder,
                   const fs::path& err, const fs::path& out = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out.empty()) {
    posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  std::vector<char*> raw;
  for (const std::string& a : argv) raw.push_back(const_cast<char*>(a.c_str()));
  raw.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, raw[0], &actions, nullptr, raw.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits up to `limit` for `pid`; its exit status, -2 when killed for taking
// longer, -1 for a death by signal.
inline int WaitFor(pid_t pid, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -2;
    }
    std::this_thread::sleep_for(10ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// `plotvane serve FLAGS...` in a folder of its own, on a free port.
class ServiceProcess {
 public:
  explicit ServiceProcess(std::vector<std::string> flags, const std::string& listen = "127.0.0.1:0") {
    folder_ = NewFolder("serve");
    log_ = folder_.parent_path() / (folder_.filename().string() + ".log");
    std::vector<std::string> argv = {PLOTVANE_COMMAND, "serve", "--listen", listen};
    argv.insert(argv.end(), flags.begin(), flags.end());
    pid_ = Spawn(argv, folder_, log_);
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
      // "plotvane serve: listening on 127.0.0.1:PORT with N workers"
      const std::string text = ReadFile(log_);
      const size_t at = text.find("listening on "), end_of_address = text.find(" with ", at);
      if (at != std::string::npos && end_of_address != std::string::npos) {
        const size_t colon = text.rfind(':', end_of_address);
        port_ = static_cast<unsigned short>(std::stoi(text.substr(colon + 1)));
        return;
      }
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(20ms);
    }
    ADD_FAILURE() << "plotvane serve did not start: " << ReadFile(log_);
  }
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;
  ~ServiceProcess() {
    if (pid_ > 0) Stop();
    fs::remove_all(folder_);
    fs::remove(log_);
  }

  bool ok() const { return port_ != 0; }
  unsigned short port() const { return port_; }
  pid_t pid() const { return pid_; }
  const fs::path& folder() const { return folder_; }
  std::string log() const { return ReadFile(log_); }

  // Sends SIGTERM and waits; the exit status (0 after a graceful stop with
  // the sanitizers content, for they fail the exit status otherwise).
  int Stop(std::chrono::milliseconds limit = 30s) {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    return Wait(limit);
  }
  // Waits for an exit that was asked for otherwise.
  int Wait(std::chrono::milliseconds limit = 30s) {
    const int status = WaitFor(pid_, limit);
    pid_ = -1;
    return status;
  }

 private:
  fs::path folder_, log_;
  pid_t pid_ = -1;
  unsigned short port_ = 0;
};

// A connected loopback socket whose reads and writes give up after `timeout`.
inline bool Connect(tcp::socket& socket, unsigned short port, std::chrono::seconds timeout = 30s) {
  boost::system::error_code ec;
  socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), port), ec);
  if (ec) return false;
  timeval tv{static_cast<time_t>(timeout.count()), 0};
  setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
  setsockopt(socket.native_handle(), SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
  return true;
}

struct Answer {
  unsigned status = 0;  // 0: no answer (the connection failed or closed)
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
  std::string Header(const std::string& name) const {
    const auto it = headers.find(name);
    return it == headers.end() ? "" : it->second;
  }
};

// The next answer on `socket` (`head`: to a HEAD request, without a body).
inline Answer ReadAnswer(tcp::socket& socket, boost::beast::flat_buffer& buffer, bool head = false,
                         bool* keep_alive = nullptr) {
  Answer answer;
  boost::system::error_code ec;
  http::response_parser<http::string_body> parser;
  parser.body_limit(size_t{256} << 20);
  parser.skip(head);
  http::read(socket, buffer, parser, ec);
  if (ec) return answer;
  const auto& response = parser.get();
  answer.status = response.result_int();
  for (const auto& field : response) {
    std::string name(field.name_string());
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    answer.headers[name] = std::string(field.value());
  }
  answer.body = response.body();
  if (keep_alive != nullptr) *keep_alive = response.keep_alive();
  return answer;
}

// Every answer but the playground page is a sandboxed document of its type.
inline void ExpectSandboxed(const Answer& a) {
  EXPECT_EQ(a.Header("content-security-policy"), "sandbox; default-src 'none'") << a.status;
  EXPECT_EQ(a.Header("x-content-type-options"), "nosniff") << a.status;
}

// One kept-alive client connection.
class Client {
 public:
  explicit Client(unsigned short port) : socket_(io_) { connected_ = Connect(socket_, port); }
  bool connected() const { return connected_; }

  Answer Send(http::verb method, const std::string& target, const std::string& body = "",
              const std::vector<std::pair<std::string, std::string>>& fields = {}) {
    http::request<http::string_body> request(method, target, 11);
    request.set(http::field::host, "127.0.0.1");
    for (const auto& [name, value] : fields) request.set(name, value);
    request.body() = body;
    if (method != http::verb::get && method != http::verb::head) request.prepare_payload();
    return Send(request);
  }

  Answer Send(http::request<http::string_body>& request) {
    boost::system::error_code ec;
    if (!connected_) return Answer();
    http::write(socket_, request, ec);
    if (ec) return Answer();
    bool keep_alive = false;
    Answer answer = ReadAnswer(socket_, buffer_, request.method() == http::verb::head, &keep_alive);
    if (answer.status == 0 || !keep_alive) connected_ = false;
    return answer;
  }

 private:
  net::io_context io_;
  tcp::socket socket_;
  boost::beast::flat_buffer buffer_;
  bool connected_ = false;
};

// One request on a connection of its own.
inline Answer Fetch(unsigned short port, http::verb method, const std::string& target,
                    const std::string& body = "") {
  Client client(port);
  return client.Send(method, target, body);
}

// A test with one service, started with the flags it needs and stopped at
// its end with SIGTERM, demanding exit status 0 (which the sanitizers of the
// test build turn into "no error and no leak").
class ServiceFixture : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> flags = {}) {
    service_ = std::make_unique<ServiceProcess>(std::move(flags));
    ASSERT_TRUE(service_->ok());
  }
  void TearDown() override {
    if (service_ != nullptr && service_->pid() > 0) {
      EXPECT_EQ(service_->Stop(), 0) << service_->log();
    }
  }
  unsigned short port() const { return service_->port(); }
  Answer Get(const std::string& target) { return Fetch(port(), http::verb::get, target); }
  Answer Post(const std::string& target, const std::string& body) {
    return Fetch(port(), http::verb::post, target, body);
  }

  std::unique_ptr<ServiceProcess> service_;
};

// `text` escaped for a query component.
inline std::string QueryEscaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof(hex), "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

inline std::string Base64Decoded(const std::string& text) {
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const char* at = c == '\0' ? nullptr : std::strchr(alphabet, c);
    if (at == nullptr) continue;  // padding
    bits = (bits << 6) | static_cast<uint32_t>(at - alphabet);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

// The result document `plotvane run` prints for `script` (standard output
// only), and its exit status.
inline std::string PlotvaneRun(const std::string& script, int* status = nullptr) {
  const fs::path folder = NewFolder("run");
  std::ofstream(folder / "script.json", std::ios::binary) << script;
  const pid_t pid = Spawn({PLOTVANE_COMMAND, "run", "script.json"}, folder, folder / "err",
                          folder / "out");
  const int s = WaitFor(pid, 60s);
  if (status != nullptr) *status = s;
  const std::string out = ReadFile(folder / "out");
  fs::remove_all(folder);
  return out;
}

}  // namespace plotvane::serve_test

#endif  // PLOTVANE_TESTS_SERVE_SERVE_SUPPORT_H_
