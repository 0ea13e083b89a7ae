#include "server/catalogue_server.h"

#include <httplib.h>
#include <zlib.h>

#include <chrono>

#include "catalogue/codec.h"
#include "catalogue/service.h"
#include "catalogue/store.h"
#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

// A request's body larger than the longest system's text could ever be.
constexpr size_t kMaxRequest = kCatalogueMaxText * 2 + (1 << 20);

bool AcceptsGzip(const httplib::Request& req) {
  for (const std::string& part : SplitAny(req.get_header_value("Accept-Encoding"), ",", true)) {
    std::string coding = Trim(part.substr(0, part.find(';')));
    if (!SameText(coding, "gzip")) continue;
    auto q = part.find("q=");
    return q == std::string::npos || Trim(part.substr(q + 2)) != "0";
  }
  return false;
}

std::string Gzip(const std::string& data) {
  z_stream zs{};
  if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw Error("gzip");
  std::string out(deflateBound(&zs, uLong(data.size())), '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  zs.avail_in = uInt(data.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = uInt(out.size());
  int rc = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw Error("gzip");
  return out;
}

std::string NowText() {
  return UtcTimeText(std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch()).count());
}

}  // namespace

CatalogueServer::CatalogueServer(const std::string& dbPath, std::ostream& log)
    : store_(std::make_unique<CatalogueStore>(dbPath)), http_(std::make_unique<httplib::Server>()), log_(log) {
  now_ = [] {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  http_->set_payload_max_length(kMaxRequest);
  auto handler = [this](const httplib::Request& req, httplib::Response& res) {
    std::string summary;
    std::string body;
    {
      std::lock_guard lock(mutex_);
      CatalogueReply reply = HandleCatalogueRequest(*store_, req.path, ParseFormBody(req.body), now_());
      body = std::move(reply.body);
      summary = std::move(reply.summary);
    }
    const bool gzip = AcceptsGzip(req);
    // The body is compressed here, not by the HTTP library, so the coding is the one this log names;
    // an opaque type keeps the library from compressing it again.
    if (gzip) {
      res.set_header("Content-Encoding", "gzip");
      res.set_content(Gzip(body), "application/octet-stream");
    } else {
      res.set_content(body, "application/octet-stream");
    }
    std::lock_guard lock(mutex_);
    log_ << NowText() << " " << req.remote_addr << " POST " << req.path << " " << (gzip ? "gzip" : "identity") << " "
         << body.size() << " — " << summary << std::endl;
  };
  for (const char* path : {kCatalogueListPath, kCatalogueDataPath, kCataloguePutPath}) http_->Post(path, handler);
  http_->set_error_handler([this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex_);
    log_ << NowText() << " " << req.remote_addr << " " << req.method << " " << req.path << " " << res.status
         << std::endl;
  });
}

CatalogueServer::~CatalogueServer() { Stop(); }

int CatalogueServer::BindAnyPort(const std::string& host) { return http_->bind_to_any_port(host); }
bool CatalogueServer::Bind(const std::string& host, int port) { return http_->bind_to_port(host, port); }
void CatalogueServer::Listen() { http_->listen_after_bind(); }
void CatalogueServer::Stop() { http_->stop(); }
bool CatalogueServer::Running() const { return http_->is_running(); }

bool ParseListenAddress(const std::string& text, std::string& host, int& port) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  auto p = ParseInt32(text.substr(colon + 1));
  if (!p || *p < 0 || *p > 65535) return false;
  host = text.substr(0, colon);
  port = *p;
  return true;
}

}  // namespace px
