// Where the scenario engine and the system game get a number system for k
// numbers. The local systems folder comes later; until then the store has no
// systems and every request fails in its own words.
#pragma once

#include <string>
#include <vector>

#include "core/arith.h"

namespace px {

class Host;

struct SystemLoad {
  bool ok = false;
  // The system's combinations mapped onto the numbers asked for (system
  // number i stands for numbers[i - 1]), unsorted, in file order.
  std::vector<Combination> combinations;
  // The file read on success; the short failure text otherwise.
  std::string text;
};

class SystemSource {
 public:
  virtual ~SystemSource() = default;
  // Shows its own error box on failure.
  virtual SystemLoad LoadSystemFor(const std::vector<int>& numbers) = 0;
};

// "Система для %d чисел не найдена или не загружена на компьютер!"
std::string SystemNotFoundText(int k);

// A store without systems: every request shows the "not found" box.
class NoSystems final : public SystemSource {
 public:
  explicit NoSystems(Host& host) : host_(host) {}
  SystemLoad LoadSystemFor(const std::vector<int>& numbers) override;

 private:
  Host& host_;
};

}  // namespace px
