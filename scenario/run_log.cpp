#include "scenario/run_log.h"

#include <algorithm>

#include "core/cp1251.h"
#include "core/dates.h"
#include "core/env.h"
#include "core/host.h"
#include "core/text.h"

namespace px {

namespace {

bool IsRunLogName(const std::string& name) {
  // "ScriptLog_*.txt"
  static const std::string prefix = "ScriptLog_", suffix = ".txt";
  return name.size() >= prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

RunLog::RunLog(Env& env, Host& host, std::string folder) : env_(env), host_(host), folder_(std::move(folder)) {}

void RunLog::Start() {
  const std::string stamp = LocalTimeFormat(env_.Now(), "%04d-%02d-%02d-%02d-%02d-%02d");
  path_ = JoinPath(folder_, Fmt(kRunLogPattern, stamp.c_str()));
}

void RunLog::Write(const std::string& entry) {
  if (!enabled) return;
  if (path_.empty()) Start();
  const std::string line =
      LocalTimeFormat(env_.Now(), "[%04d-%02d-%02d %02d:%02d:%02d]: ") + entry + "\r\n";
  try {
    env_.AppendFile(path_, Utf8ToCp1251(line));
  } catch (const std::exception& e) {
    host_.ShowError(Fmt("Ошибка записи журнала: %s!", e.what()));
  }
}

std::string RunLog::Finish() {
  std::string path;
  path.swap(path_);
  return path;
}

std::vector<std::string> RunLogFiles(Env& env, const std::string& folder) {
  std::vector<std::string> names;
  for (const std::string& name : env.ListDir(folder))
    if (IsRunLogName(name)) names.push_back(name);
  std::sort(names.begin(), names.end());
  return names;
}

DeleteSummary DeleteRunLogs(Env& env, const std::string& folder) {
  return DeleteLogFiles(env, folder, RunLogFiles(env, folder));
}

}  // namespace px
