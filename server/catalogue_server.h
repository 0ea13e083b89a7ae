// The systems catalogue served over HTTP: the three POST requests over one
// store file, one log line per request, gzip whenever the request accepts it.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

namespace httplib {
class Server;
}

namespace px {

class CatalogueStore;

class CatalogueServer {
 public:
  // Opens (or creates) the store; throws Error. Log lines go to `log`.
  CatalogueServer(const std::string& dbPath, std::ostream& log);
  ~CatalogueServer();

  // A free port of the address; 0 on failure.
  int BindAnyPort(const std::string& host);
  bool Bind(const std::string& host, int port);
  // Serves until Stop; blocks.
  void Listen();
  void Stop();
  bool Running() const;
  CatalogueStore& Store() { return *store_; }

  // The clock of the answers; the system's by default.
  void SetClock(std::function<int64_t()> now) { now_ = std::move(now); }

 private:
  std::unique_ptr<CatalogueStore> store_;
  std::unique_ptr<httplib::Server> http_;
  std::ostream& log_;
  std::mutex mutex_;
  std::function<int64_t()> now_;
};

// "ADDR:PORT" taken apart; false for anything else.
bool ParseListenAddress(const std::string& text, std::string& host, int& port);

}  // namespace px
