// A results site on 127.0.0.1 for the life of one test, and the page it sends.
#pragma once

#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/cp1251.h"

namespace px::test {

// An HTTP server on 127.0.0.1 for the life of one test.
class Loopback {
 public:
  httplib::Server server;

  void Start() {
    port_ = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~Loopback() {
    server.stop();
    if (thread_.joinable()) thread_.join();
  }
  int Port() const { return port_; }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  int port_ = 0;
  std::thread thread_;
};

using Rows = std::vector<std::pair<std::string, std::string>>;

// This build of the server gzips any text/* body on its own when the client
// accepts gzip; an opaque type keeps the bytes on the wire the test's own.
inline void Send(httplib::Response& res, const std::string& bytes, const std::string& encoding = "") {
  if (!encoding.empty()) res.set_header("Content-Encoding", encoding);
  res.set_content(bytes, "application/octet-stream");
}

// A results page as the operator sends it: cp1251 bytes.
inline std::string Page(const Rows& rows) {
  std::string s =
      "<html><head><title>Архив тиражей</title></head><body>"
      "<section class=\"winningNumbersResults\"><h2>Результаты</h2><table>"
      "<thead><tr><th>Дата</th><th>Числа</th></tr></thead><tbody>";
  for (const auto& [date, numbers] : rows)
    s += "\n<tr class=\"odd\"><td><div>" + date + "</div></td><td><div>" + numbers + "</div></td></tr>";
  s += "</tbody></table></section><footer id=\"footerMain\">Контакты</footer></body></html>";
  return Utf8ToCp1251(s);
}

}  // namespace px::test
