// The shipped nginx configuration in front of two instances on loopback:
// both serve, and stopping one while clients keep asking loses no request,
// for nginx takes what the stopping instance refuses to the other.
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/serve/serve_support.h"

namespace plotvane::serve_test {
namespace {

constexpr char kNginx[] = "/usr/sbin/nginx";

// A port nobody listens on now.
unsigned short FreePort() {
  net::io_context io;
  tcp::acceptor acceptor(io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0));
  return acceptor.local_endpoint().port();
}

// Replaces every `from` in `text`.
void Replace(std::string* text, const std::string& from, const std::string& to) {
  size_t at = text->find(from);
  ASSERT_NE(at, std::string::npos) << from;
  for (; at != std::string::npos; at = text->find(from, at + to.size())) {
    text->replace(at, from.size(), to);
  }
}

// nginx with the shipped configuration, its ports moved to the given ones,
// everything it writes kept in a folder of its own.
class Nginx {
 public:
  Nginx(unsigned short port, unsigned short first, unsigned short second) : port_(port) {
    folder_ = NewFolder("nginx");
    std::string site = ReadFile(fs::path(PLOTVANE_SOURCE_DIR) / "tools/serve/nginx/plotvane.conf");
    Replace(&site, "127.0.0.1:8081", "127.0.0.1:" + std::to_string(first));
    Replace(&site, "127.0.0.1:8082", "127.0.0.1:" + std::to_string(second));
    Replace(&site, "listen 127.0.0.1:8080", "listen 127.0.0.1:" + std::to_string(port));
    std::ofstream(folder_ / "plotvane.conf") << site;
    const std::string f = folder_.string();
    std::ofstream(folder_ / "nginx.conf")
        << (geteuid() == 0 ? "user root;\n" : "") << "daemon off;\nworker_processes 1;\n"
        << "pid " << f << "/nginx.pid;\nerror_log " << f << "/error.log warn;\n"
        << "events { worker_connections 512; }\nhttp {\n  access_log " << f << "/access.log;\n"
        << "  client_body_temp_path " << f << "/body;\n  proxy_temp_path " << f << "/proxy;\n"
        << "  fastcgi_temp_path " << f << "/fastcgi;\n  uwsgi_temp_path " << f << "/uwsgi;\n"
        << "  scgi_temp_path " << f << "/scgi;\n  include " << f << "/plotvane.conf;\n}\n";
    pid_ = Spawn({kNginx, "-p", f, "-c", f + "/nginx.conf", "-e", f + "/error.log"}, folder_,
                 folder_ / "stderr");
    for (int i = 0; i < 500 && pid_ > 0; ++i) {
      net::io_context io;
      tcp::socket probe(io);
      if (Connect(probe, port_, 5s)) return;
      std::this_thread::sleep_for(10ms);
    }
    ADD_FAILURE() << "nginx did not start: " << ReadFile(folder_ / "stderr")
                  << ReadFile(folder_ / "error.log");
  }
  ~Nginx() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      WaitFor(pid_, 10s);
    }
    fs::remove_all(folder_);
  }
  unsigned short port() const { return port_; }
  std::string errors() const { return ReadFile(folder_ / "error.log"); }

 private:
  fs::path folder_;
  pid_t pid_ = -1;
  unsigned short port_;
};

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(NginxTest, BalancesTwoInstancesAndLosesNothingWhenOneStops) {
  ASSERT_TRUE(fs::exists(kNginx)) << "tools/install-deps.sh installs nginx";
  ServiceProcess first({"--workers", "1"}), second({"--workers", "1"});
  ASSERT_TRUE(first.ok() && second.ok());
  Nginx nginx(FreePort(), first.port(), second.port());
  const std::string script = R"([{"call": "AddData", "args": ["A", 3, "FF0000"]},
    {"call": "AddData", "args": ["B", 4, "00FF00"]}, {"get": "PNGPie"}, {"get": "GIFPie"}])";
  const std::string reference = Fetch(first.port(), http::verb::post, "/v1/run", script).body;
  ASSERT_NE(reference.find("\"failed\": 0"), std::string::npos) << reference;

  // Both serve.
  for (int i = 0; i < 20; ++i) {
    const Answer a = Fetch(nginx.port(), http::verb::post, "/v1/run", script);
    ASSERT_EQ(a.status, 200u) << a.body << nginx.errors();
    EXPECT_EQ(a.body, reference);
  }
  EXPECT_GE(Count(first.log(), "POST /v1/run 200"), 3) << first.log();
  EXPECT_GE(Count(second.log(), "POST /v1/run 200"), 3) << second.log();

  // Four clients ask on while the first instance stops.
  std::atomic<int> sent{0};
  std::vector<std::future<int>> clients;
  for (int c = 0; c < 4; ++c) {
    clients.push_back(std::async(std::launch::async, [&] {
      int right = 0;
      auto client = std::make_unique<Client>(nginx.port());
      while (sent.fetch_add(1) < 160) {
        if (!client->connected()) client = std::make_unique<Client>(nginx.port());
        const Answer a = client->Send(http::verb::post, "/v1/run", script);
        if (a.status == 200 && a.body == reference) ++right;
      }
      return right;
    }));
  }
  while (sent.load() < 40) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(first.Stop(), 0) << first.log();
  int right = 0;
  for (auto& c : clients) right += c.get();
  EXPECT_EQ(right, 160);
  EXPECT_GT(Count(second.log(), "POST /v1/run 200"), 20);
}

}  // namespace
}  // namespace plotvane::serve_test
