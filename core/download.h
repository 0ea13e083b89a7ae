// The draw download: brings the archive up to date from the operator's
// results page, in date windows of at most 100 days, saving after each one.
//
// Everything runs on the engine's thread; the HTTP client lets the host
// process its events while a request waits.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/archive.h"
#include "core/config.h"
#include "core/http.h"

namespace px {

class Env;
class Host;

// What ExtractBetween does when the start marker is there but the end marker is not.
enum class MissingEnd {
  Raise = 0,  // Error "Не удалось найти пару идентификаторов ..."
  Empty = 1,
  Rest = 2,   // take the rest of the text
};

// The text after startMarker up to endMarker (both found ignoring ASCII
// case), trimmed; an empty endMarker means up to the end. Empty when the
// start marker is absent. A result in double quotes loses them, and doubled
// quotes inside become single.
std::string ExtractBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                           MissingEnd mode);
// The same on a buffer that, whenever the markers were found, loses
// everything up to and including the end marker, so repeated calls walk
// through the text.
std::string ConsumeBetween(std::string& buffer, std::string_view startMarker, std::string_view endMarker,
                           MissingEnd mode);

// The operator's site: key ResultsSite of section GLOBAL of the
// configuration, the part of the address before the fixed path.
inline constexpr char kDefaultResultsSite[] = "https://results.vantora.example";
std::string LoadResultsSite(Env& env, const std::string& configPath);
// The results search for the dates fromKey..toKey (yyyymmdd) on a site.
std::string RangeUrl(std::string_view site, int32_t fromKey, int32_t toKey);

// The draws of a results page (UTF-8) that the archive does not hold yet,
// numbered after it, in page order. A page without the results section or
// with an empty table gives none; a section or row cut short throws the
// marker Error.
std::vector<DrawRecord> NewDrawsOfPage(const DrawArchive& archive, std::string_view page);

// The automatic proxy search: an ordered list of "server:port" candidates.
class ProxyProvider {
 public:
  virtual ~ProxyProvider() = default;
  // Up to `count` candidates that serve https and, when asked, also plain
  // http. Throws Error when the search itself fails; an empty list is not a
  // failure here.
  virtual std::vector<std::string> Find(bool https, bool http, int count) = 0;
};

// Candidates from proxies.txt in the data folder: one "server:port" a line,
// blank lines and lines starting with "#" ignored, malformed ones skipped.
// No file gives no candidates. Each proxy listed is taken to serve both
// protocols.
class FileProxyProvider final : public ProxyProvider {
 public:
  FileProxyProvider(Env& env, std::string dataDir) : env_(env), dataDir_(std::move(dataDir)) {}
  std::vector<std::string> Find(bool https, bool http, int count) override;

 private:
  Env& env_;
  std::string dataDir_;
};
std::string ProxyListPath(const std::string& dataDir);

// One download run's client and proxy state. Cookies live as long as the object.
class DrawDownloader {
 public:
  DrawDownloader(DrawArchive& archive, std::string configPath, ProxySettings& proxy, Host& host, Env& env,
                 std::string dataDir);

  // Replaces the proxies.txt provider.
  void SetProxyProvider(std::unique_ptr<ProxyProvider> provider) { provider_ = std::move(provider); }
  // The text of the wait window, as it changes.
  void SetWaitTextSink(std::function<void(const std::string&)> sink) { waitSink_ = std::move(sink); }
  // Called after each window whose draws were saved.
  void SetAfterSave(std::function<void()> afterSave) { afterSave_ = std::move(afterSave); }

  // The loop over date windows up to today (Env::Now). Failures of a window
  // are retried: silently with the next proxy candidate in automatic mode,
  // otherwise when the person says yes. Returns the number of appended draws.
  int32_t DownloadDraws();
  // One request for fromKey..toKey; appends the new draws to the archive
  // without writing the file and returns their number. Throws on failure.
  int32_t DownloadRange(int32_t fromKey, int32_t toKey);
  // Sets the client's proxy from the settings, choosing a candidate in
  // automatic mode. False when no request should be made.
  bool ApplyProxy(const std::string& url);

  int Attempt() const { return attempt_; }
  const std::vector<std::string>& Candidates() const { return candidates_; }
  const std::string& WaitText() const { return waitText_; }
  HttpClient& Client() { return client_; }

 private:
  void SetWaitText(const std::string& text);

  DrawArchive& archive_;
  std::string configPath_;
  ProxySettings& proxy_;
  Host& host_;
  Env& env_;
  std::string dataDir_;
  HttpClient client_;
  std::unique_ptr<ProxyProvider> provider_;
  std::function<void(const std::string&)> waitSink_;
  std::function<void()> afterSave_;
  std::vector<std::string> candidates_;
  std::string waitText_;
  int attempt_ = 1;
};

// The download command: status text, the loop, then the stakes check in
// any case (checkStakes returns how many stakes it checked; may be empty).
// Returns the number of appended draws.
int32_t DownloadDraws(DrawArchive& archive, const std::string& configPath, ProxySettings& proxy, Host& host, Env& env,
                      const std::string& dataDir, const std::function<int()>& checkStakes = {});
// One window with a fresh client.
int32_t DownloadRange(DrawArchive& archive, const std::string& configPath, ProxySettings& proxy, Host& host, Env& env,
                      const std::string& dataDir, int32_t fromKey, int32_t toKey);

}  // namespace px
