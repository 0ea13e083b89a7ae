#include "catalogue/codec.h"

#include <gtest/gtest.h>

#include <cctype>

#include "core/errors.h"

namespace px {
namespace {

TEST(CatalogueCodec, EscapingCoversEveryMarkedCharacterAndRoundTrips) {
  std::string controls;
  for (int c = 0; c <= 13; ++c) controls += char(c);
  controls += '\x1b';
  EXPECT_EQ(EscapeCatalogueText(controls), "\\0\\1\\2\\3\\4\\5\\6\\a\\b\\t\\n\\v\\f\\r\\e");
  EXPECT_EQ(EscapeCatalogueText("a\"b'c?d\\e"), "a\\\"b\\'c\\?d\\\\e");
  // Nothing else changes: bytes 14..26, 28.., blanks, UTF-8 letters.
  const std::string plain = "\x0e\x1a\x1c Система & + / = %";
  EXPECT_EQ(EscapeCatalogueText(plain), plain);
  const std::string mixed = controls + "\"'?\\" + plain + "\r\n01 02 03 04 05\r\n";
  EXPECT_EQ(UnescapeCatalogueText(EscapeCatalogueText(mixed)), mixed);
  EXPECT_EQ(UnescapeCatalogueText("x\\"), "x\\");  // a lone backslash at the end stays
  EXPECT_EQ(UnescapeCatalogueText("\\q\\\\"), "q\\");
}

TEST(CatalogueCodec, Base64IsStrict) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("\xfb\xff"), "+/8=");
  std::string all;
  for (int c = 0; c < 256; ++c) all += char(c);
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
  EXPECT_EQ(Base64Decode("Zm9v\r\nYmFy"), "foobar");
  EXPECT_FALSE(Base64Decode("Zm9"));     // bad length
  EXPECT_FALSE(Base64Decode("Zm=v"));    // padding in the middle
  EXPECT_FALSE(Base64Decode("Zm9v!!!!"));
  EXPECT_FALSE(Base64Decode("Zh=="));    // stray bits
  EXPECT_FALSE(Base64Decode(std::string("Zm\0v", 4)));
}

TEST(CatalogueCodec, EveryFormValueIsPercentEncoded) {
  const FormFields fields = {{"clist", "ab+/=="}, {"url", "http://x.ru/?a=1&b=2"}, {"title", "Р ?"}};
  const std::string body = FormBody(fields);
  EXPECT_EQ(body, "clist=ab%2B%2F%3D%3D&url=http%3A%2F%2Fx.ru%2F%3Fa%3D1%26b%3D2&title=%D0%A0%20%3F");
  EXPECT_EQ(ParseFormBody(body), fields);
  EXPECT_EQ(PercentDecode("a+b%2"), "a b%2");
  EXPECT_EQ(FormValue(fields, "url"), "http://x.ru/?a=1&b=2");
  EXPECT_EQ(FormValue(fields, "none"), "");
}

TEST(CatalogueCodec, TimesAreUtcTextsReadByPosition) {
  EXPECT_EQ(UtcTimeText(0), "");
  EXPECT_EQ(UtcTimeText(1700000000), "2023-11-14 22:13:20");
  EXPECT_EQ(ParseUtcTime("2023-11-14 22:13:20"), 1700000000);
  EXPECT_EQ(ParseUtcTime("2023/11/14T22:13:20Z"), 1700000000);  // only the positions count
  EXPECT_EQ(ParseUtcTime(""), 0);
  EXPECT_EQ(ParseUtcTime("  "), 0);
  EXPECT_THROW(ParseUtcTime("2023-11-14"), Error);
  EXPECT_THROW(ParseUtcTime("2023-13-14 22:13:20"), Error);
  EXPECT_THROW(ParseUtcTime("20x3-11-14 22:13:20"), Error);
}

tSystemInfo Sample() {
  tSystemInfo i;
  i.id = 17;
  i.numberCount = 10;
  i.blockLength = 3;
  i.combinationCount = 12;
  i.title = "Система \"Х\"";
  i.description = "две\r\nстроки";
  i.author = "Иван";
  i.ownerMail = "ivan@x.ru";
  i.url = "http://x.ru/?a=1&b=2";
  i.created = 1700000000;
  i.downloads = 5;
  i.lastDownload = 1700000100;
  return i;
}

TEST(CatalogueCodec, ListAnswerReadsEveryFieldAndRefusesHostileRows) {
  const tSystemInfo s = Sample();
  auto list = ParseListAnswer(AnswerText({ListRow(s), ListRow(s)}));
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 2u);
  const tSystemInfo& r = list->front();
  EXPECT_EQ(r.id, 17);
  EXPECT_EQ(r.numberCount, 10);
  EXPECT_EQ(r.blockLength, 3);
  EXPECT_EQ(r.combinationCount, 12);
  EXPECT_EQ(r.title, s.title);
  EXPECT_EQ(r.description, s.description);
  EXPECT_EQ(r.author, "Иван");
  EXPECT_EQ(r.ownerMail, s.ownerMail);
  EXPECT_EQ(r.url, s.url);
  EXPECT_EQ(r.created, s.created);
  EXPECT_EQ(r.lastDownload, s.lastDownload);
  EXPECT_EQ(r.downloads, 5);

  // No result text: no list. Tags ignore case.
  EXPECT_FALSE(ParseListAnswer("<html>500</html>"));
  EXPECT_FALSE(ParseListAnswer("<RESULT>  </RESULT>"));
  std::string upper = "<Result><ROW>";
  for (const auto& [tag, value] : ListRow(s)) {
    std::string t = tag;
    for (char& c : t) c = char(std::toupper(static_cast<unsigned char>(c)));
    upper += "<" + t + ">" + value + "</" + t + ">";
  }
  upper += "</ROW></Result>";
  ASSERT_TRUE(ParseListAnswer(upper));
  EXPECT_EQ(ParseListAnswer(upper)->front().title, s.title);

  auto with = [&](const std::string& tag, const std::string& value) {
    AnswerRow row = ListRow(s);
    for (auto& [t, v] : row)
      if (t == tag) v = value;
    return AnswerText({row});
  };
  EXPECT_THROW(ParseListAnswer("<result><row></row></result>"), Error);             // a row without fields
  EXPECT_THROW(ParseListAnswer("<result><row><id>1</id>"), Error);                  // cut short
  EXPECT_THROW(ParseListAnswer(with("title", "не base64")), Error);
  EXPECT_THROW(ParseListAnswer(with("descr", std::string(kCatalogueMaxDescription * 2, 'A'))), Error);
  EXPECT_THROW(ParseListAnswer(with("author", std::string(kCatalogueMaxLine + 1, 'a'))), Error);
  EXPECT_THROW(ParseListAnswer(with("id", "0")), Error);
  EXPECT_THROW(ParseListAnswer(with("nums", "37")), Error);
  EXPECT_THROW(ParseListAnswer(with("olap", "5")), Error);
  EXPECT_THROW(ParseListAnswer(with("csize", "x")), Error);
  EXPECT_THROW(ParseListAnswer(with("created", "вчера")), Error);
  EXPECT_EQ(ParseListAnswer(with("downloads", "много"))->front().downloads, 0);
  EXPECT_EQ(ParseListAnswer(with("created", ""))->front().created, 0);
  try {
    ParseListAnswer(AnswerText({ListRow(s), {{"error", "Сервер занят"}}}));
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Сервер занят");
  }
}

TEST(CatalogueCodec, TextAndIdAnswers) {
  EXPECT_EQ(ParseTextAnswer(AnswerText({{{"clist", ""}}, {{"clist", Base64Encode("01 02 03 04 05\r\n")}}})),
            "01 02 03 04 05\r\n");
  EXPECT_EQ(ParseTextAnswer("no result"), "");
  EXPECT_THROW(ParseTextAnswer(AnswerText({{{"clist", "%%%"}}})), Error);
  EXPECT_THROW(ParseTextAnswer(AnswerText({{{"clist", Base64Encode("x")}, {"error", "нет"}}})), Error);
  // Texts come back limited to the interface's code page.
  EXPECT_EQ(ParseTextAnswer(AnswerText({{{"clist", Base64Encode("日本 €")}}})), "?? €");
  EXPECT_EQ(ParseIdAnswer(AnswerText({{{"id_systems", "-5"}}, {{"id_systems", "42"}}})), 42);
  EXPECT_EQ(ParseIdAnswer(AnswerText({{{"id_systems", "0"}}})), 0);
  EXPECT_EQ(ParseIdAnswer(AnswerText({{{"id_systems", "x"}}})), -1);
  EXPECT_EQ(ParseIdAnswer(""), -1);
  EXPECT_THROW(ParseIdAnswer(ErrorAnswer("Вы можете изменять только свои системы!")), Error);
}

}  // namespace
}  // namespace px
