#include "stakes/systems.h"

#include "core/host.h"
#include "core/text.h"

namespace px {

std::string SystemNotFoundText(int k) {
  return Fmt("Система для %d чисел не найдена или не загружена на компьютер!", k);
}

SystemLoad NoSystems::LoadSystemFor(const std::vector<int>& numbers) {
  const int k = static_cast<int>(numbers.size());
  host_.ShowError(SystemNotFoundText(k) +
                  "\r\rПеред системной игрой необходимо предварительно загрузить системы на Ваш компьютер через "
                  "меню \"Системы\" - \"Загрузить\".");
  SystemLoad load;
  load.text = SystemNotFoundText(k);
  return load;
}

}  // namespace px
