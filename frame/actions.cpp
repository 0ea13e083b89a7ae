#include "frame/actions.h"

#include <iterator>
#include <unordered_map>
#include <utility>

namespace px {

namespace {

// Menu order first, so that walking the table reproduces the menu's order of
// first appearance; a command the menu shows twice is listed once.
constexpr ActionInfo kActions[] = {
    // ---- "Файл"
    {.name = "EditConfig", .caption = "Параметры", .subsystem = "frame"},
    {.name = "EditShredding", .caption = "Формулы шинковки", .subsystem = "frame"},
    {.name = "EditProxy", .caption = "Параметры proxy-сервера", .subsystem = "draws"},
    {.name = "ExitProgram", .caption = "Выход", .shortcut = "Alt+F4", .subsystem = "frame"},

    // ---- "Архив тиражей"
    {.name = "DrawsInfo", .caption = "Сведения о тираже", .hint = "Просмотр подробных сведений о тираже",
     .subsystem = "draws"},
    {.name = "DrawsDownload", .caption = "Загрузка", .hint = "Загрузка архива тиражей с сайта лотереи",
     .shortcut = "F3", .subsystem = "draws"},
    {.name = "AutoDownload0", .caption = "По запросу (по умолчанию)", .hint = "Спросить пользователя",
     .subsystem = "draws", .checkable = true, .radio = true},
    {.name = "AutoDownload1", .caption = "Автоматически",
     .hint = "Автоматическая загрузка тиражей при запуске программы", .subsystem = "draws", .checkable = true,
     .radio = true},
    {.name = "AutoDownload2", .caption = "Отключено", .hint = "Без автоматической загрузки при запуске программы",
     .subsystem = "draws", .checkable = true, .radio = true},
    {.name = "DrawsImport", .caption = "Импорт из CSV-файла", .hint = "Импорт списка тиражей из CSV-файла",
     .subsystem = "draws"},
    {.name = "DrawsExport", .caption = "Экспорт в CSV-файл", .hint = "Экспорт списка тиражей в CSV-файл",
     .subsystem = "draws"},
    {.name = "DrawsXlsExport", .caption = "Экспорт в Microsoft Excel",
     .hint = "Экспорт списка тиражей в Microsoft Excel", .subsystem = "draws"},
    {.name = "DrawsAdd", .caption = "Добавить", .hint = "Добавить данные тиража вручную", .subsystem = "draws"},
    {.name = "DrawsEdit", .caption = "Изменить", .hint = "Изменить данные тиража вручную", .subsystem = "draws"},
    {.name = "DrawsDel", .caption = "Удалить", .hint = "Удалить выделенные тиражи из списка", .subsystem = "draws"},
    {.name = "DrawsSorted", .caption = "Упорядочить MIN->MAX",
     .hint = "Упорядочить числа внутри тиража от меньшего к большему", .subsystem = "draws", .checkable = true},

    // ---- "Комбинации"
    {.name = "CombsInfo", .caption = "Сведения о комбинации", .hint = "Просмотр подробных сведений о комбинации",
     .subsystem = "combs"},
    {.name = "CombsCheckNums", .caption = "Количество уникальных номеров",
     .hint = "Подсчет количества уникальных номеров, которые содержатся в текущем списке комбинаций",
     .subsystem = "combs"},
    {.name = "CombsFindInDraws", .caption = "Проверить по архиву тиражей",
     .hint = "Проверка комбинации по списку тиражей", .shortcut = "Ctrl+F", .subsystem = "combs"},
    {.name = "CombsGen", .caption = "Генерировать", .hint = "Перегенерировать список комбинаций", .shortcut = "F2",
     .subsystem = "combs"},
    {.name = "CombsDelExists", .caption = "Исключить тиражи",
     .hint = "Удалить N последних тиражей из списка комбинаций", .shortcut = "Ctrl+E", .subsystem = "combs"},
    {.name = "CombsDelSelected", .caption = "Удалить выделенные", .hint = "Удалить выделенные комбинации из списка",
     .shortcut = "Ctrl+Del", .subsystem = "combs"},
    {.name = "CombsCopy", .caption = "Копировать в буфер",
     .hint = "Копировать выделенные комбинации в буфер обмена", .shortcut = "Ctrl+C", .subsystem = "combs"},
    {.name = "CombsPaste", .caption = "Вставить из буфера", .hint = "Вставить комбинации из буфера обмена",
     .shortcut = "Ctrl+V", .subsystem = "combs"},
    {.name = "CombsSelectAll", .caption = "Выделить все", .hint = "Выделить все комбинации", .shortcut = "Ctrl+A",
     .subsystem = "combs"},
    {.name = "CombsOpen", .caption = "Открыть", .hint = "Загрузить список комбинаций из файла",
     .shortcut = "Ctrl+O", .subsystem = "combs"},
    {.name = "CombsSave", .caption = "Сохранить", .hint = "Сохранить список комбинаций в файле",
     .shortcut = "Ctrl+S", .subsystem = "combs"},
    {.name = "CombsUndo", .caption = "Отменить", .hint = "Отменить последнее действие", .shortcut = "Ctrl+Z",
     .subsystem = "combs"},
    {.name = "CombsXlsExport", .caption = "Экспорт в Microsoft Excel",
     .hint = "Экспорт списка комбинаций в Microsoft Excel", .subsystem = "combs"},

    // ---- "Статистика"
    {.name = "FiltersManager", .caption = "Избранные статистики",
     .hint = "Настройка списка избранных видов статистики (фильтров)", .shortcut = "F7", .subsystem = "stats"},
    {.name = "FiltersReset", .caption = "Все доступные статистики",
     .hint = "Отображать все доступные виды статистики (фильтры)", .shortcut = "Ctrl+F7", .subsystem = "stats"},
    {.name = "FiltersInfo", .caption = "Описание статистики",
     .hint = "Сведения о выбранном методе расчета статистики", .subsystem = "stats"},
    {.name = "DrawsStatExportToExcel", .caption = "Экспорт статистики в Microsoft Excel",
     .hint = "Экспорт данных статистики в Microsoft Excel", .subsystem = "stats"},
    {.name = "AnalyzeRepeats", .caption = "Количество повторов в зависимости от тиража", .subsystem = "views"},
    {.name = "TotalSumCombs", .caption = "Распределение сумм тиражей и всех возможных комбинаций",
     .hint = "Распределение сумм всех возможных комбинаций и архива тиражей одновременно", .subsystem = "views"},

    // ---- "Ставки"
    {.name = "StakeAdd", .caption = "Сделать ставку", .shortcut = "F4", .subsystem = "stakes"},
    {.name = "StakeAddRandom", .caption = "Сделать случайную ставку", .shortcut = "Ctrl+F4", .subsystem = "stakes"},
    {.name = "StakeAddSelected", .caption = "Сделать ставки для выделенных комбинаций", .shortcut = "Alt+F4",
     .subsystem = "stakes"},
    {.name = "StakeAddAll", .caption = "Сделать ставки для всех комбинаций", .shortcut = "Ctrl+Alt+F4",
     .subsystem = "stakes"},
    // The leading "C" of these two captions is Latin on purpose.
    {.name = "SystemStakeFilter", .caption = "Cистемная игра по списку комбинаций",
     .hint = "Системная игра только по комбинациям, которые есть и в системе и в списке комбинаций",
     .shortcut = "Alt+J", .subsystem = "systems"},
    {.name = "SystemStakeAll", .caption = "Cистемная игра по списку системы",
     .hint = "Системная игра по всем комбинациям выбранной системы (даже если их нет в списке комбинаций)",
     .shortcut = "Ctrl+Alt+J", .subsystem = "systems"},
    {.name = "StakeDel", .caption = "Удалить ставку", .shortcut = "Ctrl+Del", .subsystem = "stakes"},
    {.name = "StakeFilter", .caption = "Удалить по условию", .shortcut = "Alt+D", .subsystem = "stakes"},
    {.name = "StakeClear", .caption = "Удалить все ставки", .shortcut = "Ctrl+Shift+Del", .subsystem = "stakes"},
    {.name = "StakesGraphDraws", .caption = "Суммарный профит по тиражам",
     .hint = "График суммарного профита ставок по тиражам", .shortcut = "F6", .subsystem = "ratings"},
    {.name = "StakesXlsExport", .caption = "Экспорт ставок в Microsoft Excel", .subsystem = "stakes"},
    {.name = "StakesCheckManual", .caption = "Проверить ставки", .shortcut = "Ctrl+F5", .subsystem = "stakes"},
    {.name = "LogStakes", .caption = "Журналы ставок", .subsystem = "stakes", .checkable = true},
    {.name = "LogStakesDelete", .caption = "Удалить журналы ставок", .subsystem = "stakes"},
    {.name = "StakesScroll", .caption = "Прокручивать список при добавлении", .subsystem = "stakes",
     .checkable = true},
    {.name = "StakesCheckLine", .caption = "Проверять ставки после каждой строки сценария", .subsystem = "stakes",
     .checkable = true},

    // ---- "Рейтинг"
    {.name = "StakesGraphOverlap", .caption = "График совпадений ставок",
     .hint = "График количества совпадений для всех ставок по тиражам", .shortcut = "Ctrl+F6",
     .subsystem = "ratings"},
    {.name = "StakesGraphProfits", .caption = "График профита ставок",
     .hint = "График профита для всех ставок по тиражам", .shortcut = "Alt+F6", .subsystem = "ratings"},
    {.name = "RatingsGraphOverlap", .caption = "Количество совпадений",
     .hint = "График количества совпадений для выделенных строк рейтинга", .subsystem = "ratings"},
    {.name = "RatingsEffMode0", .caption = "Ожидаемые значения совпадений", .subsystem = "ratings",
     .checkable = true, .radio = true},
    {.name = "RatingsEffMode1", .caption = "Абсолютные значения эффективности", .subsystem = "ratings",
     .checkable = true, .radio = true},
    {.name = "RatingsEffMode2", .caption = "Относительные значения эффективности", .subsystem = "ratings",
     .checkable = true, .radio = true},
    {.name = "RatingsRefresh", .caption = "Обновить рейтинг", .shortcut = "F5", .subsystem = "ratings"},
    {.name = "RatingsToScript", .caption = "Добавить в сценарий", .subsystem = "ratings"},
    {.name = "RatingsExport", .caption = "Экспорт рейтинга в CSV-файл", .subsystem = "ratings"},
    {.name = "RatingsXlsExport", .caption = "Экспорт рейтинга в Microsoft Excel", .subsystem = "ratings"},

    // ---- "Регуляры"
    {.name = "TablesAdd", .caption = "Добавить регулярную ставку", .hint = "Добавить регулярную табличную ставку",
     .subsystem = "tables"},
    {.name = "TablesDel", .caption = "Удалить регулярную ставку",
     .hint = "Удалить выделенные регулярные табличные ставки", .subsystem = "tables"},
    {.name = "TablesStakeAdd", .caption = "Сделать ставку по регуляру",
     .hint = "Создать ставку по выделенному регуляру", .subsystem = "tables"},
    {.name = "TablesStakeTest", .caption = "Тест регуляров", .hint = "Тестирование регулярных ставок",
     .subsystem = "tables"},

    // ---- "Системы"
    {.name = "SystemsOn", .caption = "Системная игра", .hint = "Включить или выключить список систем",
     .shortcut = "Ctrl+J", .subsystem = "systems", .checkable = true},
    {.name = "SystemsDownload", .caption = "Загрузить", .hint = "Загрузить выделенные системы",
     .subsystem = "systems"},
    {.name = "SystemsRefresh", .caption = "Обновить", .hint = "Перезагрузить список с сервера",
     .subsystem = "systems"},
    {.name = "SystemsAdd", .caption = "Добавить", .hint = "Добавить свою систему в список", .subsystem = "systems"},
    {.name = "SystemsProp", .caption = "Свойства", .hint = "Просмотр / редактирование свойств системы",
     .subsystem = "systems"},
    {.name = "SystemsDel", .caption = "Удалить", .hint = "Удалить свои системы из списка", .subsystem = "systems"},
    {.name = "SystemsIdentity", .caption = "Пользователь каталога...",
     .hint = "Имя и адрес электронной почты, под которыми Вы публикуете свои системы", .subsystem = "systems",
     .invented = true},

    // ---- "Сценарий"
    {.name = "ScriptOpen", .caption = "Открыть", .shortcut = "Ctrl+J", .subsystem = "script"},
    {.name = "ScriptSave", .caption = "Сохранить", .shortcut = "Ctrl+I", .subsystem = "script"},
    // The online catalogue has no fixed wording; these texts are ours.
    {.name = "ScriptLibrary", .caption = "Панель online-каталога сценариев",
     .hint = "Скрыть / показать панель online-каталога сценариев", .subsystem = "online", .checkable = true,
     .invented = true, .later = "library"},
    {.name = "ScriptLibraryDownload", .caption = "Загрузить сценарий",
     .hint = "Загрузить выделенный сценарий из online-каталога", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryView", .caption = "Просмотр сценария",
     .hint = "Просмотр выделенного сценария из online-каталога", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryUpload", .caption = "Опубликовать сценарий",
     .hint = "Опубликовать текущий сценарий в online-каталоге", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryReplace", .caption = "Заменить сценарий",
     .hint = "Заменить свой сценарий в online-каталоге текущим сценарием", .subsystem = "online",
     .invented = true, .later = "library"},
    {.name = "ScriptLibraryDelete", .caption = "Удалить сценарий",
     .hint = "Удалить свой сценарий из online-каталога", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRate1", .caption = "1 - очень плохо",
     .hint = "Поставить выделенному сценарию оценку 1", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRate2", .caption = "2 - плохо", .hint = "Поставить выделенному сценарию оценку 2",
     .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRate3", .caption = "3 - удовлетворительно",
     .hint = "Поставить выделенному сценарию оценку 3", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRate4", .caption = "4 - хорошо", .hint = "Поставить выделенному сценарию оценку 4",
     .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRate5", .caption = "5 - отлично", .hint = "Поставить выделенному сценарию оценку 5",
     .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryHide", .caption = "Скрыть сценарий",
     .hint = "Больше не показывать выделенный сценарий в списке", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRate0", .caption = "Отменить оценку",
     .hint = "Отменить свою оценку выделенного сценария", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRates", .caption = "Оценки сценария", .hint = "Просмотр оценок выделенного сценария",
     .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptLibraryRefresh", .caption = "Обновить список",
     .hint = "Перезагрузить список сценариев с сервера", .subsystem = "online", .invented = true, .later = "library"},
    {.name = "ScriptAdd", .caption = "Добавить фильтры", .shortcut = "Ctrl+Ins", .subsystem = "script"},
    {.name = "ScriptEmpty", .caption = "Добавить разделитель", .shortcut = "Ctrl+Alt+Ins", .subsystem = "script"},
    {.name = "ScriptLoad", .caption = "Добавить сценарий", .subsystem = "script"},
    {.name = "ScriptClone", .caption = "Клонировать", .shortcut = "Ctrl+K", .subsystem = "script"},
    {.name = "ScriptEdit", .caption = "Изменить", .shortcut = "Ctrl+Enter", .subsystem = "script"},
    {.name = "ScriptDel", .caption = "Удалить", .shortcut = "Ctrl+Del", .subsystem = "script"},
    {.name = "ScriptClr", .caption = "Удалить все", .subsystem = "script"},
    {.name = "ScriptUp", .caption = "Переместить вверх", .shortcut = "Ctrl+Up", .subsystem = "script"},
    {.name = "ScriptDown", .caption = "Переместить вниз", .shortcut = "Ctrl+Down", .subsystem = "script"},
    {.name = "ScriptRun", .caption = "Прогноз", .hint = "Выполнить сценарий для текущего тиража и смещения",
     .shortcut = "F10", .subsystem = "script"},
    {.name = "ScriptTest", .caption = "Тест",
     .hint = "Тестирование сценария на основе результатов предыдуших тиражей", .shortcut = "Ctrl+F10",
     .subsystem = "script"},
    {.name = "ScriptStop", .caption = "Стоп", .hint = "Остановить выполнение сценария", .shortcut = "Ctrl+X",
     .subsystem = "script"},
    {.name = "LogToggle", .caption = "Журнал выполнения сценария",
     .hint = "Создание подробного журнала выполнения сценария для анализа его работы", .subsystem = "script",
     .checkable = true},
    {.name = "LogsDelete", .caption = "Удалить журналы выполнения сценариев",
     .hint = "Удалить файлы журналов выполнения сценария", .subsystem = "script"},

    // ---- "Вид"
    {.name = "TabGraps", .caption = "Вкладка \"Графики\"", .hint = "Скрыть / показать вкладку \"Графики\"",
     .subsystem = "views", .checkable = true},
    {.name = "TabCard", .caption = "Вкладка \"Карта\"", .hint = "Скрыть / показать вкладку \"Карта тиражей\"",
     .subsystem = "views", .checkable = true},
    {.name = "TabLayout", .caption = "Вкладка \"Схема\"",
     .hint = "Скрыть / показать вкладку \"Схема выпадения номеров\"", .subsystem = "views", .checkable = true},
    {.name = "TabWeek", .caption = "Вкладка \"Неделя\"", .hint = "Скрыть / показать вкладку \"Неделя\"",
     .subsystem = "views", .checkable = true},
    {.name = "TabTables", .caption = "Вкладка \"Регуляры\"",
     .hint = "Скрыть / показать вкладку \"Регулярные ставки\"", .subsystem = "tables", .checkable = true},
    {.name = "ViewColorDraws", .caption = "Выделять каналы в списке тиражей", .subsystem = "draws",
     .checkable = true},
    // Worded after its siblings for the draws list and the card.
    {.name = "ViewColorCombs", .caption = "Выделять каналы в списке комбинаций",
     .hint = "Выделять цветами каналы в списке комбинаций", .subsystem = "combs", .checkable = true,
     .invented = true},
    {.name = "ViewColorCard", .caption = "Выделять каналы в карте тиражей",
     .hint = "Выделять цветами каналы в карте тиражей", .subsystem = "views", .checkable = true},
    {.name = "ViewColorCardSequences", .caption = "Выделять последовательности в карте тиражей",
     .hint = "Выделять цветами последовательности в карте тиражей", .subsystem = "views", .checkable = true},
    {.name = "ViewShemaGradient", .caption = "Градиентная раскраска схемы",
     .hint = "Градиентная раскраска схемы выпадения номеров", .subsystem = "views", .checkable = true},

    // ---- "Справка"
    {.name = "GetHelp", .caption = "Справка", .shortcut = "F1", .subsystem = "frame"},
    {.name = "About", .caption = "О программе", .subsystem = "frame"},
    {.name = "AutoSelfUpdate", .caption = "Автоматическое обновление", .subsystem = "frame", .checkable = true},
    {.name = "CheckUpdate", .caption = "Поиск обновлений", .subsystem = "frame", .later = "updates"},
    {.name = "OpenLotoSite", .caption = "Сайт лотереи", .subsystem = "frame", .later = "links"},
    // The maker's web pages have no fixed wording; these texts are ours.
    {.name = "urlMainSite", .caption = "Сайт программы", .hint = "Открыть сайт программы в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},
    {.name = "urlBlog", .caption = "Блог", .hint = "Открыть блог в браузере", .subsystem = "frame",
     .invented = true, .later = "links"},
    {.name = "urlYT", .caption = "Канал на YouTube", .hint = "Открыть канал на YouTube в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},
    {.name = "urlAuthText", .caption = "Статьи автора", .hint = "Открыть статьи автора в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},
    {.name = "urlVK", .caption = "Группа ВКонтакте", .hint = "Открыть группу ВКонтакте в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},
    {.name = "urlOK", .caption = "Группа в Одноклассниках", .hint = "Открыть группу в Одноклассниках в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},
    {.name = "urlAuthSite", .caption = "Сайт автора", .hint = "Открыть сайт автора в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},
    {.name = "urlTG", .caption = "Канал в Telegram", .hint = "Открыть канал в Telegram в браузере",
     .subsystem = "frame", .invented = true, .later = "links"},

    // ---- page commands outside the menu: statistics, graphs, card, layout, week
    {.name = "DrawsStatCalc", .caption = "Обновить", .hint = "Пересчитать статистику по выбранным параметрам",
     .subsystem = "stats"},
    {.name = "DrawsStatePrefetchsEnabled", .caption = "Использовать сравнение с полным набором комбинаций",
     .hint = "Использовать режим сравнения статистики с распределением по полному набору комбинаций",
     .subsystem = "stats", .checkable = true},
    {.name = "DrawsStatShowTotalLine", .caption = "График идеального распределения",
     .hint = "Пропорциональный график распределения значений по всем возможным комбинациям лотереи",
     .subsystem = "stats", .checkable = true},
    {.name = "StatFilter_Include", .caption = "Оставить выделенные",
     .hint = "В списке комбинаций оставить комбинации с выделенными характеристиками", .shortcut = "F7",
     .subsystem = "stats"},
    {.name = "StatFilter_Exclude", .caption = "Удалить выделенные",
     .hint = "Из списка комбинаций удалить комбинации с выделенными характеристиками", .shortcut = "Ctrl+F7",
     .subsystem = "stats"},
    {.name = "DrawsGraphDraw", .caption = "Обновить", .hint = "Построить графики по выбранным параметрам",
     .subsystem = "views"},
    // The remove hints of the card, layout and week carry two blanks before
    // the last word; that is their wording.
    {.name = "CardFilter_Include", .caption = "Оставить выделенные",
     .hint = "В списке комбинаций оставить комбинации с выделенными значениями", .subsystem = "views"},
    {.name = "CardFilter_Exclude", .caption = "Удалить выделенные",
     .hint = "Из списка комбинаций удалить комбинации с выделенными  значениями", .subsystem = "views"},
    {.name = "CardXlsExport", .caption = "Экспорт карты тиражей в Microsoft Excel", .subsystem = "views"},
    {.name = "LayoutCalc", .caption = "Обновить", .hint = "Пересчитать схему", .subsystem = "views"},
    {.name = "LayoutFilter_Include", .caption = "Оставить выделенные",
     .hint = "В списке комбинаций оставить комбинации с выделенными значениями", .subsystem = "views"},
    {.name = "LayoutFilter_Exclude", .caption = "Удалить выделенные",
     .hint = "Из списка комбинаций удалить комбинации с выделенными  значениями", .subsystem = "views"},
    {.name = "LayoutXlsExport", .caption = "Экспорт схемы в Microsoft Excel", .subsystem = "views"},
    {.name = "LayoutCmpCalc", .caption = "Обновить", .hint = "Пересчитать таблицы сравнения", .subsystem = "views"},
    {.name = "WeekStatCalc", .caption = "Обновить", .hint = "Пересчитать статистику по выбранным параметрам",
     .subsystem = "views"},
    {.name = "WeekFilter_Include", .caption = "Оставить выделенные",
     .hint = "В списке комбинаций оставить комбинации с выделенными значениями", .subsystem = "views"},
    {.name = "WeekFilter_Exclude", .caption = "Удалить выделенные",
     .hint = "Из списка комбинаций удалить комбинации с выделенными  значениями", .subsystem = "views"},
    {.name = "ViewWeekChartMode", .caption = "График по дням недели",
     .hint = "Режим графика на вкладке \"дни недели\"", .subsystem = "views", .checkable = true},
    {.name = "ViewWeekChartType", .caption = "График / диаграмма", .hint = "Вид графика на вкладке \"Дни недели\"",
     .subsystem = "views", .checkable = true},
};

MenuNode Item(const char* action) { return {MenuNode::Action, action, nullptr, {}, nullptr}; }

MenuNode Item(const char* action, const char* caption, const char* hint) {
  return {MenuNode::Action, action, caption, {}, hint};
}

MenuNode Line() { return {MenuNode::Separator, nullptr, nullptr, {}, nullptr}; }

MenuNode Sub(const char* title, std::vector<MenuNode> items) {
  return {MenuNode::Submenu, title, nullptr, std::move(items), nullptr};
}

std::vector<MenuNode> BuildMenu() {
  return {
      Sub("Файл",
          {
              Sub("Язык интерфейса", {MenuNode{MenuNode::Languages, nullptr, nullptr, {}, nullptr}}),
              Line(),
              Item("EditConfig"), Item("EditShredding"), Item("EditProxy"),
              Line(),
              Item("ExitProgram"),
          }),
      Sub("Архив тиражей",
          {
              Item("DrawsInfo"),
              Line(),
              Item("DrawsDownload"),
              Sub("Автозагрузка при запуске программы",
                  {Item("AutoDownload0"), Item("AutoDownload1"), Item("AutoDownload2")}),
              Line(),
              Item("DrawsImport"), Item("DrawsExport"), Item("DrawsXlsExport"),
              Line(),
              Item("DrawsAdd"), Item("DrawsEdit"), Item("DrawsDel"),
              Line(),
              Item("DrawsSorted"),
          }),
      Sub("Комбинации",
          {
              Item("CombsInfo"), Item("CombsCheckNums"), Item("CombsFindInDraws"),
              Line(),
              Item("CombsGen"), Item("CombsDelExists"), Item("CombsDelSelected"),
              Line(),
              Item("CombsCopy"), Item("CombsPaste"), Item("CombsSelectAll"),
              Line(),
              Item("CombsOpen"), Item("CombsSave"),
              Line(),
              Item("CombsUndo"),
              Line(),
              Item("CombsXlsExport"),
          }),
      Sub("Статистика",
          {
              Item("FiltersManager"), Item("FiltersReset"), Item("FiltersInfo"),
              Line(),
              Item("DrawsStatExportToExcel"),
              Line(),
              Item("AnalyzeRepeats"), Item("TotalSumCombs"),
          }),
      Sub("Ставки",
          {
              Item("StakeAdd"), Item("StakeAddRandom"), Item("StakeAddSelected"), Item("StakeAddAll"),
              Item("SystemStakeFilter"), Item("SystemStakeAll"),
              Line(),
              Item("StakeDel"), Item("StakeFilter"), Item("StakeClear"),
              Line(),
              Item("StakesGraphDraws"),
              Line(),
              Item("StakesXlsExport"),
              Line(),
              Item("StakesCheckManual"),
              Line(),
              Item("LogStakes"), Item("LogStakesDelete"), Item("StakesScroll"), Item("StakesCheckLine"),
          }),
      Sub("Рейтинг",
          {
              Item("StakesGraphOverlap"), Item("StakesGraphProfits"), Item("RatingsGraphOverlap"),
              Sub("Эффективность (столбцы E0..n)",
                  {Item("RatingsEffMode0"), Item("RatingsEffMode1"), Item("RatingsEffMode2")}),
              Line(),
              Item("RatingsRefresh"),
              Line(),
              Item("RatingsToScript"),
              Line(),
              Item("RatingsExport"), Item("RatingsXlsExport"),
          }),
      Sub("Регуляры",
          {
              Item("TablesAdd"), Item("TablesDel"),
              Line(),
              Item("TablesStakeAdd"), Item("TablesStakeTest"),
          }),
      Sub("Системы",
          {
              Item("SystemsOn"),
              Line(),
              Item("SystemsDownload"),
              Line(),
              Item("SystemsRefresh"),
              Line(),
              Item("SystemsAdd"), Item("SystemsProp"), Item("SystemsDel"),
              Line(),
              Item("SystemsIdentity"),
          }),
      Sub("Сценарий",
          {
              Item("ScriptOpen"), Item("ScriptSave"),
              Line(),
              Sub("Online-каталог сценариев",
                  {
                      Item("ScriptLibrary"), Item("ScriptLibraryDownload"), Item("ScriptLibraryView"),
                      Item("ScriptLibraryUpload"), Item("ScriptLibraryReplace"), Item("ScriptLibraryDelete"),
                      Sub("Оценить",
                          {Item("ScriptLibraryRate1"), Item("ScriptLibraryRate2"), Item("ScriptLibraryRate3"),
                           Item("ScriptLibraryRate4"), Item("ScriptLibraryRate5"), Item("ScriptLibraryHide"),
                           Item("ScriptLibraryRate0")}),
                      Item("ScriptLibraryRates"), Item("ScriptLibraryRefresh"),
                  }),
              Line(),
              Item("ScriptAdd"), Item("ScriptEmpty"), Item("ScriptLoad"), Item("ScriptClone"), Item("ScriptEdit"),
              Item("ScriptDel"), Item("ScriptClr"),
              Line(),
              Item("ScriptUp"), Item("ScriptDown"),
              Line(),
              Item("ScriptRun"), Item("ScriptTest"), Item("ScriptStop"),
              Line(),
              Item("LogToggle"), Item("LogsDelete"), Item("StakesCheckLine"),
          }),
      Sub("Вид",
          {
              Item("TabGraps"), Item("TabCard"), Item("TabLayout"), Item("TabWeek"), Item("TabTables"),
              Item("SystemsOn", "Вкладка \"Системы\"", "Скрыть / показать вкладку \"Системы\""),
              Line(),
              Item("ViewColorDraws"), Item("ViewColorCombs"), Item("ViewColorCard"), Item("ViewColorCardSequences"),
              Item("ViewShemaGradient"),
          }),
      Sub("Справка",
          {
              Item("GetHelp"), Item("About"),
              Line(),
              Item("AutoSelfUpdate"), Item("CheckUpdate"),
              Line(),
              Item("OpenLotoSite"),
              Line(),
              Item("urlMainSite"), Item("urlBlog"), Item("urlYT"), Item("urlAuthText"), Item("urlVK"),
              Item("urlOK"), Item("urlAuthSite"), Item("urlTG"),
          }),
  };
}

}  // namespace

const std::vector<ActionInfo>& ActionTable() {
  static const std::vector<ActionInfo> table(std::begin(kActions), std::end(kActions));
  return table;
}

const ActionInfo* FindAction(std::string_view name) {
  static const auto index = [] {
    std::unordered_map<std::string_view, const ActionInfo*> m;
    for (const ActionInfo& a : ActionTable()) m.emplace(a.name, &a);
    return m;
  }();
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

const std::vector<MenuNode>& MainMenu() {
  static const std::vector<MenuNode> menu = BuildMenu();
  return menu;
}

std::vector<std::string> ShortcutConflicts() {
  std::vector<std::string_view> order;
  std::unordered_map<std::string_view, int> holders;
  for (const ActionInfo& a : ActionTable()) {
    if (*a.shortcut == '\0') continue;
    if (holders[a.shortcut]++ == 0) order.push_back(a.shortcut);
  }
  std::vector<std::string> keys;
  for (std::string_view k : order)
    if (holders[k] > 1) keys.emplace_back(k);
  return keys;
}

}  // namespace px
