#include "core/download.h"

#include <algorithm>
#include <cctype>

#include "core/cp1251.h"
#include "core/dates.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/ini.h"
#include "core/text.h"

namespace px {
namespace {

constexpr char kRangePath[] =
    "/site/winningNumberSearch?searchTypeIn=range&gameNameIn=VANTORA5&singleDateIn="
    "&fromDateIn=%02d%%2F%02d%%2F%04d&toDateIn=%02d%%2F%02d%%2F%04d"
    "&n1In=&n2In=&n3In=&n4In=&n5In=&submitForm=Submit";
constexpr char kWaitText[] = "Загрузка архива тиражей...";
constexpr int kWindowDays = 100;
constexpr int kCandidatesWanted = 30;

size_t FindNoCase(std::string_view text, std::string_view what, size_t from) {
  if (what.empty()) return from <= text.size() ? from : std::string_view::npos;
  auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(std::min(from, text.size())), text.end(),
                        what.begin(), what.end(), [&](char a, char b) { return lower(a) == lower(b); });
  return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

std::string Unquote(std::string_view text) {
  std::string_view t = TrimView(text);
  if (t.size() < 2 || t.front() != '"' || t.back() != '"') return std::string(t);
  std::string out;
  t = t.substr(1, t.size() - 2);
  for (size_t i = 0; i < t.size(); ++i) {
    out += t[i];
    if (t[i] == '"' && i + 1 < t.size() && t[i + 1] == '"') ++i;
  }
  return out;
}

// Where the result lies and where the text after the end marker starts.
struct Span {
  size_t begin = 0, end = 0, next = 0;
  bool found = false;
};

Span FindBetween(std::string_view text, std::string_view start, std::string_view end, MissingEnd mode) {
  Span s;
  size_t at = FindNoCase(text, start, 0);
  if (start.empty() || at == std::string_view::npos) return s;
  s.begin = at + start.size();
  size_t stop = end.empty() ? text.size() : FindNoCase(text, end, s.begin);
  if (stop == std::string_view::npos) {
    switch (mode) {
      case MissingEnd::Raise:
        throw Error("Не удалось найти пару идентификаторов \"" + std::string(start) + "\" - \"" + std::string(end) +
                    "\" в тексте\r\r[" + std::string(text) + "]!");
      case MissingEnd::Empty:
        return s;
      case MissingEnd::Rest:
        stop = text.size();
        break;
    }
  }
  s.end = stop;
  s.next = std::min(text.size(), stop + end.size());
  s.found = true;
  return s;
}

std::string DateTextOfKey(int32_t key) { return DateText(DateOfKey(key)); }

int32_t TodayKey(Env& env) { return DateKeyOf(DateOf(env.Now())); }

}  // namespace

std::string ExtractBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                           MissingEnd mode) {
  Span s = FindBetween(text, startMarker, endMarker, mode);
  return s.found ? Unquote(text.substr(s.begin, s.end - s.begin)) : std::string();
}

std::string ConsumeBetween(std::string& buffer, std::string_view startMarker, std::string_view endMarker,
                           MissingEnd mode) {
  Span s = FindBetween(buffer, startMarker, endMarker, mode);
  if (!s.found) return {};
  std::string result = Unquote(std::string_view(buffer).substr(s.begin, s.end - s.begin));
  buffer.erase(0, s.next);
  return result;
}

std::string LoadResultsSite(Env& env, const std::string& configPath) {
  std::string site = Trim(IniFile::Load(env, configPath).ReadString("GLOBAL", "ResultsSite", ""));
  return site.empty() ? std::string(kDefaultResultsSite) : site;
}

std::string RangeUrl(std::string_view site, int32_t fromKey, int32_t toKey) {
  std::string_view base = TrimView(site);
  while (!base.empty() && base.back() == '/') base.remove_suffix(1);
  Date a = DateOfKey(fromKey), b = DateOfKey(toKey);
  return std::string(base) + Fmt(kRangePath, static_cast<unsigned>(a.month()), static_cast<unsigned>(a.day()),
                                 static_cast<int>(a.year()), static_cast<unsigned>(b.month()),
                                 static_cast<unsigned>(b.day()), static_cast<int>(b.year()));
}

std::vector<DrawRecord> NewDrawsOfPage(const DrawArchive& archive, std::string_view page) {
  std::vector<DrawRecord> pending;
  std::string section = ExtractBetween(page, "<section class=\"winningNumbersResults\">", "<footer id=\"footerMain\">",
                                       MissingEnd::Raise);
  std::string table = ExtractBetween(section, "</thead><tbody>", "</tbody></table>", MissingEnd::Raise);
  for (;;) {
    std::string row = ConsumeBetween(table, "<tr", "</tr>", MissingEnd::Raise);
    if (row.empty()) break;
    std::string dateText = ConsumeBetween(row, "<div>", "</div>", MissingEnd::Raise);
    std::string numbersText = ConsumeBetween(row, "<div>", "</div>", MissingEnd::Raise);
    if (archive.FindByDateInRecent(dateText, 3) >= 0) continue;
    if (numbersText.empty() || numbersText == "-") continue;  // "-": the draw is not held yet
    auto words = SplitAny(numbersText, "-", false);
    if (words.size() != kDrawSize) continue;
    DrawRecord r;
    r.number = archive.Count() + static_cast<int32_t>(pending.size()) + 1;
    r.SetDate(dateText);
    for (int i = 0; i < kDrawSize; ++i) {
      int32_t v = IntOr(words[static_cast<size_t>(i)], 0);
      r.numbers[static_cast<size_t>(i)] = static_cast<uint8_t>(v >= 0 && v <= 255 ? v : 0);
    }
    pending.push_back(r);
  }
  return pending;
}

std::string ProxyListPath(const std::string& dataDir) { return JoinPath(dataDir, "proxies.txt"); }

std::vector<std::string> FileProxyProvider::Find(bool /*https*/, bool /*http*/, int count) {
  std::vector<std::string> out;
  const std::string path = ProxyListPath(dataDir_);
  if (!env_.Exists(path)) return out;
  for (const auto& raw : SplitAny(env_.ReadFile(path), "\r\n", true)) {
    if (static_cast<int>(out.size()) >= count) break;
    std::string line = Trim(raw);
    if (line.empty() || line.front() == '#') continue;
    size_t colon = line.rfind(':');
    if (colon == std::string::npos || colon == 0) continue;
    auto port = ParseInt32(std::string_view(line).substr(colon + 1));
    if (!port || *port < 1 || *port > 65535) continue;
    out.push_back(line);
  }
  return out;
}

DrawDownloader::DrawDownloader(DrawArchive& archive, std::string configPath, ProxySettings& proxy, Host& host,
                               Env& env, std::string dataDir)
    : archive_(archive),
      configPath_(std::move(configPath)),
      proxy_(proxy),
      host_(host),
      env_(env),
      dataDir_(std::move(dataDir)),
      provider_(std::make_unique<FileProxyProvider>(env, dataDir_)) {
  client_.SetIdleCallback([this] { host_.ProcessEvents(); });
}

void DrawDownloader::SetWaitText(const std::string& text) {
  waitText_ = text;
  if (waitSink_) waitSink_(text);
}

bool DrawDownloader::ApplyProxy(const std::string& url) {
  if (proxy_.mode == 1 && proxy_.server.empty()) {
    try {
      if (candidates_.empty()) {
        SetWaitText(Fmt("%s\r\r%s", kWaitText, "Поиск proxy-серверов"));
        try {
          const bool https = url.size() >= 8 && SameText(std::string_view(url).substr(0, 8), "https://");
          candidates_ = provider_ ? provider_->Find(true, !https, kCandidatesWanted) : std::vector<std::string>{};
          if (candidates_.empty()) throw Error("Не найдено ни одного proxy-сервера с заданными параметрами");
        } catch (const std::exception& e) {
          candidates_.clear();
          host_.ShowError(Fmt("Ошибка получения списка proxy-серверов!\r\r%s", e.what()));
          client_.SetProxy({});
          return false;
        }
      }
      const std::string& candidate = candidates_.front();
      size_t colon = candidate.rfind(':');
      auto port = colon == std::string::npos ? std::nullopt : ParseInt32(candidate.substr(colon + 1));
      if (!port || *port < 1 || *port > 65535 || colon == 0)
        throw Error(Fmt("Неверный адрес proxy-сервера \"%s\"", candidate.c_str()));
      proxy_.server = candidate.substr(0, colon);
      proxy_.port = *port;
      proxy_.user.clear();
      proxy_.password.clear();
      proxy_.saved = false;
    } catch (const std::exception& e) {
      host_.ShowError(Fmt("Ошибка автоматического выбора proxy сервера!\r\r%s", e.what()));
      client_.SetProxy({});
      return false;
    }
  }
  if (proxy_.mode == 1 || proxy_.mode == 2)
    client_.SetProxy({proxy_.server, proxy_.port, proxy_.user, proxy_.password});
  else
    client_.SetProxy({});
  if (proxy_.mode != 0 && !client_.Proxy().server.empty())
    SetWaitText(Fmt("%s\r\r%s", kWaitText,
                    Fmt("Попытка %d, proxy %s : %d", attempt_, proxy_.server.c_str(), proxy_.port).c_str()));
  else
    SetWaitText(kWaitText);
  return true;
}

int32_t DrawDownloader::DownloadRange(int32_t fromKey, int32_t toKey) {
  host_.SetStatusText(
      Fmt("Загрузка тиражей %s - %s...", DateTextOfKey(fromKey).c_str(), DateTextOfKey(toKey).c_str()));
  const std::string url = RangeUrl(LoadResultsSite(env_, configPath_), fromKey, toKey);
  std::string page;
  if (ApplyProxy(url)) page = Cp1251ToUtf8(client_.Get(url).body);
  std::vector<DrawRecord> draws = NewDrawsOfPage(archive_, page);
  if (draws.empty()) return 0;
  host_.SetStatusText("Сохранение файла тиражей...");
  for (const auto& r : draws) archive_.Append(r);
  return static_cast<int32_t>(draws.size());
}

int32_t DrawDownloader::DownloadDraws() {
  attempt_ = 1;
  int32_t total = 0;
  int32_t lastFrom = 0;
  for (;;) {
    try {
      const int32_t today = TodayKey(env_);
      const int32_t from = archive_.DateKeyAt(0, 1);
      // A page whose rows do not move the newest date forward would ask for the same window forever.
      if (from > today || from <= lastFrom) break;
      int32_t to = AddDaysToKey(from, kWindowDays - 1);
      if (to > today) to = today;
      if (to < from) to = from;
      int32_t n = DownloadRange(from, to);
      if (!proxy_.saved) SaveProxySettings(env_, configPath_, proxy_);
      if (n <= 0) break;
      total += n;
      lastFrom = from;
      archive_.Save(env_, ArchivePath(dataDir_));
      if (afterSave_) afterSave_();
      if (to >= today) break;
    } catch (const std::exception& e) {
      ++attempt_;
      if (proxy_.mode == 1) {
        proxy_.server.clear();
        proxy_.port = 0;
        proxy_.user.clear();
        proxy_.password.clear();
        proxy_.saved = false;
        if (!candidates_.empty()) candidates_.erase(candidates_.begin());
        if (!candidates_.empty()) continue;
      }
      if (!host_.AskYesNoAs("Ошибка", Fmt("Ошибка загрузки архива тиражей с сайта: \"%s\"\r\rПовторить попытку?", e.what())))
        break;
    }
  }
  candidates_.clear();
  return total;
}

int32_t DownloadDraws(DrawArchive& archive, const std::string& configPath, ProxySettings& proxy, Host& host, Env& env,
                      const std::string& dataDir, const std::function<int()>& checkStakes) {
  int32_t appended = 0;
  StatusScope status(host, kWaitText);
  host.SetWaitText(kWaitText);
  try {
    DrawDownloader downloader(archive, configPath, proxy, host, env, dataDir);
    downloader.SetWaitTextSink([&host](const std::string& text) { host.SetWaitText(text); });
    appended = downloader.DownloadDraws();
  } catch (...) {
    if (checkStakes) checkStakes();
    host.SetWaitText("");
    throw;
  }
  if (checkStakes) checkStakes();
  host.SetWaitText("");
  return appended;
}

int32_t DownloadRange(DrawArchive& archive, const std::string& configPath, ProxySettings& proxy, Host& host, Env& env,
                      const std::string& dataDir, int32_t fromKey, int32_t toKey) {
  DrawDownloader downloader(archive, configPath, proxy, host, env, dataDir);
  return downloader.DownloadRange(fromKey, toKey);
}

}  // namespace px
