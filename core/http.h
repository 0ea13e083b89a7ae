// A small HTTP client for the draw download: GET only, one request at a time
// on the engine's thread. One client is one browsing session: its cookies last
// as long as the object.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace px {

// An HTTP proxy; an empty server means a direct connection.
struct HttpProxy {
  std::string server;
  int32_t port = 0;
  std::string user;
  std::string password;
};

struct HttpResponse {
  long status = 0;
  std::string contentEncoding;  // as the server sent it
  std::string body;             // bytes after inflating, otherwise untouched
};

class HttpClient {
 public:
  static constexpr long kConnectTimeoutMs = 5000;
  static constexpr long kReadTimeoutMs = 10000;

  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  void SetProxy(const HttpProxy& proxy);
  const HttpProxy& Proxy() const { return proxy_; }

  // Called now and then while a request waits, so a window can stay alive.
  void SetIdleCallback(std::function<void()> idle) { idle_ = std::move(idle); }

  // Follows redirects. Throws Error on a network failure, a time-out, a
  // status of 400 or above, or a body that cannot be inflated.
  HttpResponse Get(const std::string& url);
  // The same for a POST of a URL-encoded form body.
  HttpResponse PostForm(const std::string& url, const std::string& body);

  // A server silent for this long fails the request (at least a second).
  void SetReadTimeoutMs(long ms);

  // The header lines every request carries, "Name: value".
  static const std::vector<std::string>& RequestHeaders();

 private:
  HttpResponse Perform(const std::string& url, bool get);
  struct Curl;
  std::unique_ptr<Curl> curl_;
  HttpProxy proxy_;
  std::function<void()> idle_;
};

// Undoes a Content-Encoding value ("gzip", "deflate", "identity" or a list of
// them, applied in order). Throws Error for an unknown coding or a broken stream.
std::string DecodeContent(std::string_view body, std::string_view contentEncoding);

// zlib inflation. Gzip accepts concatenated members; deflate takes the
// zlib-wrapped form and falls back to a raw stream, as servers send either.
std::string InflateGzip(std::string_view data);
std::string InflateDeflate(std::string_view data);

}  // namespace px
