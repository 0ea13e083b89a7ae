// The program's side of the systems catalogue: the four requests, with their
// fields in order, over one of two ways to reach a catalogue: its store file
// in the data folder (the embedded default) or a server over HTTP.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/codec.h"
#include "core/http.h"

namespace px {

class CatalogueStore;
class Env;
struct ProxySettings;

// The user as the catalogue knows them; an empty e-mail owns nothing.
struct OnlineIdentity {
  std::string name;
  std::string mail;
};

// The locale of the interface's language, sent with every request.
inline constexpr int32_t kInterfaceLcid = 1049;

class SystemCatalogue {
 public:
  virtual ~SystemCatalogue() = default;

  // Nullopt when the catalogue gave no list. Throws Error.
  std::optional<std::vector<tSystemInfo>> FetchList(const OnlineIdentity& user);
  // The combination text, UTF-8; empty when the catalogue has none. Throws Error.
  std::string FetchSystemText(int32_t id);
  // The system's id, or -1 when the answer names none. Throws Error.
  int32_t SaveSystem(const tSystemData& data);
  // 0 when the system was deleted. Throws Error.
  int32_t DeleteSystem(const tSystemInfo& info);

  // The fields of each request, in the order sent; public for the tests.
  static FormFields ListFields(const OnlineIdentity& user);
  static FormFields SaveFields(const tSystemData& data, bool remove);

 protected:
  // Sends the form and returns the answer body. Throws Error.
  virtual std::string Post(const char* path, const FormFields& fields) = 0;
};

// The catalogue file of one user, opened for each request.
class EmbeddedCatalogue final : public SystemCatalogue {
 public:
  EmbeddedCatalogue(Env& env, std::string path) : env_(env), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 protected:
  std::string Post(const char* path, const FormFields& fields) override;

 private:
  Env& env_;
  std::string path_;
};

class HttpCatalogue final : public SystemCatalogue {
 public:
  // `address`: "http://host:port" with no path, or with the part before /scripts.
  explicit HttpCatalogue(std::string address);
  HttpClient& Client() { return client_; }

 protected:
  std::string Post(const char* path, const FormFields& fields) override;

 private:
  std::string address_;
  HttpClient client_;
};

// "<dataDir>/Systems/catalogue.db"
std::string EmbeddedCataloguePath(const std::string& dataDir);
// Key SystemsCatalogue of section GLOBAL of the configuration; empty: none.
std::string LoadCatalogueAddress(Env& env, const std::string& configPath);
// The catalogue the configuration names, with the proxy of the settings
// (a manual proxy only: the automatic search is the draw download's), or
// the embedded one.
std::unique_ptr<SystemCatalogue> OpenSystemCatalogue(Env& env, const std::string& dataDir,
                                                     const ProxySettings& proxy);

// Section and keys of the window-state store.
inline constexpr char kIdentitySection[] = "OnlineIdentity";
OnlineIdentity LoadOnlineIdentity(Env& env, const std::string& formPath);
void SaveOnlineIdentity(Env& env, const std::string& formPath, const OnlineIdentity& user);

}  // namespace px
