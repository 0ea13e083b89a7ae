// Texts shown by more than one front end.
#pragma once

#include <cstdint>
#include <string>

namespace px {

// Another copy of the program (or a folder without write rights) holds the
// data files.
inline constexpr const char* kExclusiveAccess =
    "Невозможно получить монопольный доступ к файлам данных!\r\rВозможные причины данной ошибки: \r\r1) Вы "
    "пытаетесь запустить вторую копию программы из одного и того же каталога. Корректная работа нескольких копий "
    "программы возможна только из разных каталогов.\r\r2) Для программы нет прав на запись в том каталоге, где она "
    "расположена. Например: в Windows 7 и выше по умолчанию запрещена запись в c:\\Program Files.\r\rПрограмма "
    "будет закрыта!";

// The question every list asks before it deletes n selected rows.
inline std::string DeleteQuestion(int64_t n) {
  if (n == 1) return "Удалить выделенную запись?";
  return "Удалить все выделенные записи (всего будет удалено " + std::to_string(n) + " записи(ей))?";
}

}  // namespace px
