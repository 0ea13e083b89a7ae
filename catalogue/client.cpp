#include "catalogue/client.h"

#include <chrono>

#include "catalogue/service.h"
#include "catalogue/store.h"
#include "core/config.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "core/ini.h"
#include "core/text.h"

namespace px {
namespace {

// What the catalogue learns of the program that asks; it needs none of it.
void AddIdentification(FormFields& f) {
  f.emplace_back("cl_prog", "Pentalux5_5v36");
  f.emplace_back("cl_ver", "5");
}

}  // namespace

FormFields SystemCatalogue::ListFields(const OnlineIdentity& user) {
  FormFields f = {{"comblen", "5"}, {"maxnums", std::to_string(kSystemMaxNumbers)}};
  AddIdentification(f);
  f.emplace_back("cl_name", EscapeCatalogueText(user.name));
  f.emplace_back("cl_mail", EscapeCatalogueText(user.mail));
  f.emplace_back("cl_lcid", std::to_string(kInterfaceLcid));
  return f;
}

FormFields SystemCatalogue::SaveFields(const tSystemData& d, bool remove) {
  FormFields f = {{"del_mode", remove ? "1" : "0"},
                  {"sys_id", std::to_string(d.id)},
                  {"nums", std::to_string(d.numberCount)},
                  {"clen", "5"},
                  {"olap", std::to_string(d.blockLength)},
                  {"title", EscapeCatalogueText(d.title)},
                  {"descr", EscapeCatalogueText(d.description)},
                  {"csize", std::to_string(d.combinationCount)},
                  {"clist", remove ? std::string() : Base64Encode(EscapeCatalogueText(d.combinations))},
                  {"url", d.url}};
  AddIdentification(f);
  f.emplace_back("cl_name", EscapeCatalogueText(d.author));
  f.emplace_back("cl_mail", EscapeCatalogueText(d.ownerMail));
  f.emplace_back("cl_lcid", std::to_string(kInterfaceLcid));
  return f;
}

std::optional<std::vector<tSystemInfo>> SystemCatalogue::FetchList(const OnlineIdentity& user) {
  return ParseListAnswer(Post(kCatalogueListPath, ListFields(user)));
}

std::string SystemCatalogue::FetchSystemText(int32_t id) {
  return ParseTextAnswer(Post(kCatalogueDataPath, {{"sys_id", std::to_string(id)}}));
}

int32_t SystemCatalogue::SaveSystem(const tSystemData& data) {
  return ParseIdAnswer(Post(kCataloguePutPath, SaveFields(data, false)));
}

int32_t SystemCatalogue::DeleteSystem(const tSystemInfo& info) {
  tSystemData d;
  static_cast<tSystemInfo&>(d) = info;
  return ParseIdAnswer(Post(kCataloguePutPath, SaveFields(d, true)));
}

std::string EmbeddedCatalogue::Post(const char* path, const FormFields& fields) {
  if (auto slash = path_.rfind('/'); slash != std::string::npos && slash > 0) env_.MakeDirs(path_.substr(0, slash));
  CatalogueStore store(path_);
  // Through the same form text a server would get, so both catalogues read a request alike.
  const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(env_.Now().time_since_epoch()).count();
  return HandleCatalogueRequest(store, path, ParseFormBody(FormBody(fields)), now).body;
}

HttpCatalogue::HttpCatalogue(std::string address) : address_(Trim(address)) {
  while (!address_.empty() && address_.back() == '/') address_.pop_back();
}

std::string HttpCatalogue::Post(const char* path, const FormFields& fields) {
  return client_.PostForm(address_ + path, FormBody(fields)).body;
}

std::string EmbeddedCataloguePath(const std::string& dataDir) {
  return JoinPath(SystemsDirectory(dataDir), "catalogue.db");
}

std::string LoadCatalogueAddress(Env& env, const std::string& configPath) {
  return Trim(IniFile::Load(env, configPath).ReadString("GLOBAL", "SystemsCatalogue", ""));
}

std::unique_ptr<SystemCatalogue> OpenSystemCatalogue(Env& env, const std::string& dataDir,
                                                     const ProxySettings& proxy) {
  std::string address = LoadCatalogueAddress(env, ConfigPath(dataDir));
  if (address.empty()) return std::make_unique<EmbeddedCatalogue>(env, EmbeddedCataloguePath(dataDir));
  auto http = std::make_unique<HttpCatalogue>(address);
  if (proxy.mode == 2 && !proxy.server.empty())
    http->Client().SetProxy({proxy.server, proxy.port, proxy.user, proxy.password});
  return http;
}

OnlineIdentity LoadOnlineIdentity(Env& env, const std::string& formPath) {
  IniFile ini = FormSettings(env, formPath).Read();
  return {Trim(ini.ReadString(kIdentitySection, "Name", "")), Trim(ini.ReadString(kIdentitySection, "Mail", ""))};
}

void SaveOnlineIdentity(Env& env, const std::string& formPath, const OnlineIdentity& user) {
  FormSettings(env, formPath).Update([&](IniFile& ini) {
    ini.WriteString(kIdentitySection, "Name", user.name);
    ini.WriteString(kIdentitySection, "Mail", user.mail);
  });
}

}  // namespace px
