#include "core/http.h"

#include <curl/curl.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

// Far above any results page; stops a runaway or hostile stream from eating memory.
constexpr size_t kMaxBody = size_t{64} << 20;

Error BrokenContent() { return Error("Не удалось распаковать ответ сервера"); }

std::string Inflate(std::string_view data, int windowBits, bool gzipMembers) {
  z_stream zs{};
  if (inflateInit2(&zs, windowBits) != Z_OK) throw BrokenContent();
  struct End {
    z_stream& zs;
    ~End() { inflateEnd(&zs); }
  } end{zs};
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buffer[1 << 15];
  for (;;) {
    zs.next_out = reinterpret_cast<Bytef*>(buffer);
    zs.avail_out = sizeof buffer;
    int ret = inflate(&zs, Z_NO_FLUSH);
    if (ret != Z_OK && ret != Z_STREAM_END) throw BrokenContent();  // includes a truncated stream
    out.append(buffer, sizeof buffer - zs.avail_out);
    if (out.size() > kMaxBody) throw BrokenContent();
    if (ret == Z_STREAM_END) {
      // Some servers send gzip as several members; anything else after the end is ignored.
      if (gzipMembers && zs.avail_in >= 2 && zs.next_in[0] == 0x1f && zs.next_in[1] == 0x8b) {
        inflateReset(&zs);
        continue;
      }
      return out;
    }
    if (zs.avail_in == 0 && zs.avail_out != 0) throw BrokenContent();
  }
}

struct CurlGlobal {
  CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<std::string*>(user);
  size_t n = size * count;
  if (body->size() + n > kMaxBody) return 0;  // curl reports a write error
  try {
    body->append(data, n);
  } catch (...) {
    return 0;
  }
  return n;
}

size_t ReadHeader(char* data, size_t size, size_t count, void* user) {
  auto* encoding = static_cast<std::string*>(user);
  size_t n = size * count;
  std::string_view line(data, n);
  // Each response of a redirect chain starts with its status line; only the last one counts.
  if (line.starts_with("HTTP/")) {
    encoding->clear();
  } else if (auto colon = line.find(':'); colon != std::string_view::npos &&
                                          SameText(TrimView(line.substr(0, colon)), "Content-Encoding")) {
    try {
      *encoding = Trim(line.substr(colon + 1));
    } catch (...) {
      return 0;
    }
  }
  return n;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* idle = static_cast<std::function<void()>*>(user);
  try {
    if (*idle) (*idle)();
  } catch (...) {
    return 1;  // aborts the transfer rather than letting an exception cross C code
  }
  return 0;
}

}  // namespace

struct HttpClient::Curl {
  CURL* handle = nullptr;
  curl_slist* headers = nullptr;
  ~Curl() {
    if (handle) curl_easy_cleanup(handle);
    curl_slist_free_all(headers);
  }
};

const std::vector<std::string>& HttpClient::RequestHeaders() {
  static const std::vector<std::string> headers = {
      "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,*/*;q=0.8",
      "Accept-Encoding: gzip, deflate, sdch",
      "Accept-Language: ru-RU,ru;q=0.8,en-US;q=0.6,en;q=0.4",
      "Connection: keep-alive",
      "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/53.0.2785.116 Safari/537.36",
  };
  return headers;
}

HttpClient::HttpClient() : curl_(std::make_unique<Curl>()) {
  static CurlGlobal global;
  curl_->handle = curl_easy_init();
  if (!curl_->handle) throw Error("Не удалось подготовить HTTP-клиент");
  for (const auto& h : RequestHeaders()) {
    curl_slist* next = curl_slist_append(curl_->headers, h.c_str());
    if (!next) throw Error("Не удалось подготовить HTTP-клиент");
    curl_->headers = next;
  }
  CURL* c = curl_->handle;
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, curl_->headers);
  // The encoding header is ours, so curl must hand over the body as it came.
  curl_easy_setopt(c, CURLOPT_HTTP_CONTENT_DECODING, 0L);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_COOKIEFILE, "");  // cookie engine on, in memory only
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  // A read time-out is a server that falls silent, not a long transfer:
  // CURLOPT_TIMEOUT would also cut a slow but steady page, so the nearest
  // curl offers is "under 1 byte/s for 10 s".
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kReadTimeoutMs / 1000);
  curl_easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, Progress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &idle_);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, ReadHeader);
  SetProxy({});
}

HttpClient::~HttpClient() = default;

void HttpClient::SetProxy(const HttpProxy& proxy) {
  proxy_ = proxy;
  CURL* c = curl_->handle;
  // An explicit empty proxy also keeps curl away from the *_proxy variables
  // of the environment: the user's settings alone decide.
  curl_easy_setopt(c, CURLOPT_PROXY, proxy.server.c_str());
  curl_easy_setopt(c, CURLOPT_NOPROXY, "");
  curl_easy_setopt(c, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  curl_easy_setopt(c, CURLOPT_PROXYPORT, static_cast<long>(proxy.port));
  curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxy.user.empty() ? nullptr : proxy.user.c_str());
  curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxy.user.empty() ? nullptr : proxy.password.c_str());
}

void HttpClient::SetReadTimeoutMs(long ms) {
  curl_easy_setopt(curl_->handle, CURLOPT_LOW_SPEED_TIME, std::max(1L, ms / 1000));
}

HttpResponse HttpClient::PostForm(const std::string& url, const std::string& body) {
  CURL* c = curl_->handle;
  curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
  for (const auto& h : RequestHeaders())
    if (headers) headers = curl_slist_append(headers, h.c_str());
  if (!headers) throw Error("Не удалось подготовить HTTP-клиент");
  struct Restore {
    CURL* c;
    curl_slist* headers;
    curl_slist* normal;
    ~Restore() {
      curl_easy_setopt(c, CURLOPT_HTTPHEADER, normal);
      curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
      curl_slist_free_all(headers);
    }
  } restore{c, headers, curl_->headers};
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  curl_easy_setopt(c, CURLOPT_COPYPOSTFIELDS, body.c_str());
  return Perform(url, false);
}

HttpResponse HttpClient::Get(const std::string& url) { return Perform(url, true); }

HttpResponse HttpClient::Perform(const std::string& url, bool get) {
  CURL* c = curl_->handle;
  HttpResponse response;
  char errorText[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  if (get) curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &response.body);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &response.contentEncoding);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
  CURLcode code = curl_easy_perform(c);
  curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
  if (code != CURLE_OK) {
    std::string detail = errorText[0] ? errorText : curl_easy_strerror(code);
    switch (code) {
      case CURLE_OPERATION_TIMEDOUT:
        throw Error(Fmt("Превышено время ожидания ответа сервера (%s)", detail.c_str()));
      case CURLE_COULDNT_RESOLVE_HOST:
      case CURLE_COULDNT_RESOLVE_PROXY:
      case CURLE_COULDNT_CONNECT:
        throw Error(Fmt("Не удалось соединиться с сервером (%s)", detail.c_str()));
      default:
        throw Error(Fmt("Ошибка обмена данными с сервером (%s)", detail.c_str()));
    }
  }
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
  if (response.status >= 400) throw Error(Fmt("Сервер ответил кодом %ld", response.status));
  response.body = DecodeContent(response.body, response.contentEncoding);
  return response;
}

std::string InflateGzip(std::string_view data) { return Inflate(data, 16 + MAX_WBITS, true); }

std::string InflateDeflate(std::string_view data) {
  try {
    return Inflate(data, MAX_WBITS, false);
  } catch (const Error&) {
    return Inflate(data, -MAX_WBITS, false);
  }
}

std::string DecodeContent(std::string_view body, std::string_view contentEncoding) {
  std::string out(body);
  // Codings are listed in the order they were applied, so they come off last first.
  auto codings = SplitAny(contentEncoding, ",", true);
  for (auto it = codings.rbegin(); it != codings.rend(); ++it) {
    std::string coding = Trim(*it);
    if (coding.empty() || SameText(coding, "identity")) continue;
    if (SameText(coding, "gzip") || SameText(coding, "x-gzip"))
      out = InflateGzip(out);
    else if (SameText(coding, "deflate"))
      out = InflateDeflate(out);
    else
      throw Error(Fmt("Неизвестное сжатие ответа сервера: %s", coding.c_str()));
  }
  return out;
}

}  // namespace px
