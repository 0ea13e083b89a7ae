#include "catalogue/service.h"

#include "catalogue/store.h"
#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

int32_t IntOf(const FormFields& f, const char* name, int32_t low, int32_t high) {
  auto v = ParseInt32(Trim(FormValue(f, name)));
  if (!v || *v < low || *v > high) throw Error(Fmt("Неверное значение поля \"%s\"", name));
  return *v;
}

// A text the answers carry as it is: it must not break the answer's markup.
std::string PlainField(const FormFields& f, const char* name, bool escaped) {
  std::string v = FormValue(f, name);
  if (escaped) v = UnescapeCatalogueText(v);
  v = Trim(v);
  if (v.size() > kCatalogueMaxLine) throw Error(Fmt("Слишком длинное значение поля \"%s\"", name));
  if (v.find_first_of("<>\r\n") != std::string::npos) throw Error(Fmt("Недопустимые символы в поле \"%s\"", name));
  return v;
}

std::string List(CatalogueStore& store, std::string& summary) {
  std::vector<AnswerRow> rows;
  for (const tSystemInfo& info : store.List()) rows.push_back(ListRow(info));
  summary = Fmt("список: %zu", rows.size());
  return AnswerText(rows);
}

std::string Data(CatalogueStore& store, const FormFields& f, int64_t now, std::string& summary) {
  const int32_t id = IntOf(f, "sys_id", 1, INT32_MAX);
  auto text = store.TakeText(id, now);
  if (!text) throw Error(Fmt("Система #%d не найдена", id));
  summary = Fmt("система #%d: %zu байт", id, text->size());
  return AnswerText({{{"clist", Base64Encode(*text)}}});
}

// The stored owner must be the one asking; a system without an owner is nobody's.
void CheckOwner(const tSystemData& stored, const std::string& mail) {
  if (stored.ownerMail.empty() || mail.empty() || !SameText(stored.ownerMail, mail))
    throw Error("Вы можете изменять только свои системы!");
}

std::string Put(CatalogueStore& store, const FormFields& f, int64_t now, std::string& summary) {
  const int32_t mode = IntOf(f, "del_mode", 0, 1);
  const int32_t id = IntOf(f, "sys_id", 0, INT32_MAX);
  const std::string mail = PlainField(f, "cl_mail", true);
  std::optional<tSystemData> stored;
  if (id > 0) {
    stored = store.Find(id);
    if (!stored) throw Error(Fmt("Система #%d не найдена", id));
    CheckOwner(*stored, mail);
  }
  if (mode == 1) {
    if (id == 0) throw Error("Не указана система для удаления");
    store.Remove(id);
    summary = Fmt("удалена система #%d", id);
    return AnswerText({{{"id_systems", "0"}}});
  }
  tSystemData d;
  d.id = id;
  d.numberCount = uint8_t(IntOf(f, "nums", kSystemMinNumbers, kSystemMaxNumbers));
  IntOf(f, "clen", 5, 5);
  d.blockLength = uint8_t(IntOf(f, "olap", 0, kSystemMaxBlock));
  d.title = Trim(UnescapeCatalogueText(FormValue(f, "title")));
  if (d.title.empty()) throw Error("Название системы должно быть указано обязательно!");
  if (d.title.size() > kCatalogueMaxTitle) throw Error("Слишком длинное название системы");
  d.description = UnescapeCatalogueText(FormValue(f, "descr"));
  if (d.description.size() > kCatalogueMaxDescription) throw Error("Слишком длинное описание системы");
  d.combinationCount = IntOf(f, "csize", 1, INT32_MAX);
  auto coded = Base64Decode(FormValue(f, "clist"));
  if (!coded) throw Error("Неверное значение поля \"clist\"");
  d.combinations = UnescapeCatalogueText(*coded);
  if (d.combinations.size() > kCatalogueMaxText) throw Error("Слишком длинный список комбинаций");
  const auto lines = ParseSystemText(d.combinations, d.numberCount, d.title);
  if (int64_t(lines.size()) != d.combinationCount)
    throw Error(Fmt("Количество комбинаций ( %zu ) отличается от указанного ( %d )", lines.size(), d.combinationCount));
  d.combinations = SystemText(lines);
  d.url = PlainField(f, "url", false);
  d.author = PlainField(f, "cl_name", true);
  d.ownerMail = stored ? stored->ownerMail : mail;
  // A new version is a new creation time, so every copy made before it counts as outdated.
  d.created = now;
  const int32_t saved = store.Save(d);
  summary = Fmt(id == 0 ? "добавлена система #%d" : "изменена система #%d", saved);
  return AnswerText({{{"id_systems", std::to_string(saved)}}});
}

}  // namespace

CatalogueReply HandleCatalogueRequest(CatalogueStore& store, std::string_view path, const FormFields& fields,
                                      int64_t now) {
  CatalogueReply reply;
  try {
    if (path == kCatalogueListPath)
      reply.body = List(store, reply.summary);
    else if (path == kCatalogueDataPath)
      reply.body = Data(store, fields, now, reply.summary);
    else if (path == kCataloguePutPath)
      reply.body = Put(store, fields, now, reply.summary);
    else
      throw Error("Неизвестный запрос");
  } catch (const Error& e) {
    reply.body = ErrorAnswer(e.what());
    reply.summary = std::string("ошибка: ") + e.what();
  }
  return reply;
}

}  // namespace px
