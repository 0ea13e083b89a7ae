// The configuration INI: the game settings, the proxy, the results site, and
// the money the prize table feeds into a stake's profit.
#include "core/config.h"
#include "core/download.h"
#include "fuzz/fuzz_support.h"
#include "stakes/stake_store.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  env.files["d/c.ini"] = std::string(fuzz::AsText(data, size));
  GameConfig config;
  ProxySettings proxy;
  try {
    LoadGameConfig(env, "d/c.ini", config);
  } catch (const Error&) {
  }
  try {
    LoadProxySettings(env, "d/c.ini", proxy);
  } catch (const Error&) {
  }
  try {
    LoadResultsSite(env, "d/c.ini");
  } catch (const Error&) {
  }
  ConfigListing(config, proxy);
  config.MatrixRowsCount();
  for (int n : {5, 12})
    for (int m = -1; m <= 5; ++m) MoneyText(StakeProfit(config.data, n, m));
  Weight(config.data, true, 10, 20, 100, 5, 12.5L);
  return 0;
}
