#include "core/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/archive.h"
#include "core/env.h"
#include "core/errors.h"
#include "support/draws.h"
#include "support/fault_env.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::FaultEnv;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using Fields = std::vector<std::string>;

DrawRecord Draw(int32_t number, Combination numbers, std::string_view cp1251Date = "") {
  return test::DrawWithDateBytes(number, numbers, cp1251Date);
}

DrawArchive FirstDraws(int count) {
  DrawArchive a;
  for (int n = 1; n <= count; ++n) a.Append(Draw(n, {1, 2, 3, 4, 5}, "01/02/1995"));
  return a;
}

TEST(CsvSplit, Fields) {
  EXPECT_EQ(SplitCsvLine("1;\"01/02/1995\";5;12;17;28;33"),
            (Fields{"1", "01/02/1995", "5", "12", "17", "28", "33"}));
  EXPECT_EQ(SplitCsvLine("1;\"a;b\";3"), (Fields{"1", "a;b", "3"}));
  EXPECT_EQ(SplitCsvLine("\"a\"\"b\"\"\";x"), (Fields{"a\"b\"", "x"}));
  EXPECT_EQ(SplitCsvLine("\"\";x"), (Fields{"", "x"}));
  EXPECT_EQ(SplitCsvLine("  1 ;  2\t;3  "), (Fields{"1", "2", "3"}));
  EXPECT_EQ(SplitCsvLine("a;;b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(SplitCsvLine("a;"), (Fields{"a", ""}));
  EXPECT_EQ(SplitCsvLine("1;01/02 1995;3"), (Fields{"1", "01/02", "1995", "3"}));
  EXPECT_EQ(SplitCsvLine("1;\"01/02 1995\";3"), (Fields{"1", "01/02 1995", "3"}));
  EXPECT_EQ(SplitCsvLine("a\tb\x01" "c"), (Fields{"a", "b", "c"}));
  EXPECT_EQ(SplitCsvLine("\xDF\xED\xE2;2"), (Fields{"\xDF\xED\xE2", "2"}));
  EXPECT_EQ(SplitCsvLine(""), Fields{});
  EXPECT_EQ(SplitCsvLine("   "), Fields{});
}

TEST(CsvExport, ExactText) {
  DrawArchive a;
  a.Append(Draw(1, {5, 12, 17, 28, 33}, "01/02/1995"));
  a.Append(Draw(2, {12, 3, 30, 7, 1}, "a\"b \xDF"));
  a.Append(Draw(-4, {36, 35, 34, 33, 32}));
  const std::string expected =
      "1;\"01/02/1995\";5;12;17;28;33\r\n"
      "2;\"a\"\"b \xDF\";12;3;30;7;1\r\n"
      "-4;\"\";36;35;34;33;32\r\n";
  EXPECT_EQ(ExportDrawsText(a), expected);
  EXPECT_EQ(ExportDrawsText(DrawArchive{}), "");

  TempDir dir;
  const std::string path = dir.File("draws.csv");
  WriteBytes(path, "old content that is longer than the new one, so truncation shows\r\n");
  ExportDraws(Env::Real(), a, path);
  EXPECT_EQ(ReadBytes(path), expected);

  // A failed export keeps the previous file whole.
  const std::string before = ReadBytes(path);
  a.Append(Draw(3, {1, 2, 3, 4, 5}));
  FaultEnv rename;
  rename.failRename = true;
  EXPECT_THROW(ExportDraws(rename, a, path), Error);
  FaultEnv full;
  full.failWriteAfter = 10;
  EXPECT_THROW(ExportDraws(full, a, path), Error);
  EXPECT_EQ(ReadBytes(path), before);
}

TEST(CsvImport, RoundTripAndReimport) {
  DrawArchive a;
  a.Append(Draw(1, {12, 3, 30, 7, 1}, "01/02/1995"));
  // "Янв Рё": the last two bytes would also pass for UTF-8.
  a.Append(Draw(2, {5, 5, 6, 7, 8}, "\xDF\xED\xE2 \xD0\xB8"));
  a.Append(Draw(7, {36, 1, 2, 35, 18}, "a\"b;c"));
  a.Append(Draw(4, {1, 2, 3, 4, 5}));
  a.Append(Draw(100000, {20, 19, 18, 17, 16}, "12/31/1999"));

  TempDir dir;
  const std::string path = dir.File("draws.csv");
  ExportDraws(Env::Real(), a, path);

  DrawArchive b;
  ImportResult r = ImportDraws(Env::Real(), b, path);
  EXPECT_EQ(r.added, 5);
  EXPECT_EQ(r.skipped, 0);
  EXPECT_EQ(b.Records(), a.Records());
  EXPECT_EQ(b.At(1).DateString(), "Янв Рё");

  r = ImportDraws(Env::Real(), b, path);
  EXPECT_EQ(r.added, 0);
  EXPECT_EQ(r.skipped, 0);
  EXPECT_EQ(b.Records(), a.Records());
}

TEST(CsvImport, SixAndSevenFieldNumbering) {
  DrawArchive a = FirstDraws(100);
  ImportResult r = ImportDrawsText(a,
                                   "\"03/01/2021\";1;2;3;4;5\r\n"
                                   "03/02/2021;36;35;34;33;32\r\n"
                                   "500;\"03/03/2021\";6;7;8;9;10\r\n"
                                   "\"03/04/2021\";11;12;13;14;15\r\n"
                                   "501;03/05/2021;16;17;18;19;20\r\n");
  EXPECT_EQ(r.added, 5);
  EXPECT_EQ(r.skipped, 0);
  ASSERT_EQ(a.Count(), 105);
  const std::vector<int32_t> numbers = {101, 102, 500, 104, 501};
  const std::vector<std::string> dates = {"03/01/2021", "03/02/2021", "03/03/2021", "03/04/2021", "03/05/2021"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(a.At(100 + i).number, numbers[i]);
    EXPECT_EQ(a.At(100 + i).DateString(), dates[i]);
  }
  EXPECT_EQ(a.At(101).numbers, (Combination{36, 35, 34, 33, 32}));

  // count + 1 may already be taken; such a line is a known draw, not an error.
  DrawArchive gaps;
  for (int32_t n : {1, 2, 4}) gaps.Append(Draw(n, {1, 2, 3, 4, 5}));
  r = ImportDrawsText(gaps, "\"01/01/2000\";1;2;3;4;5\n");
  EXPECT_EQ(r.added, 0);
  EXPECT_EQ(r.skipped, 0);
  EXPECT_EQ(gaps.Count(), 3);
}

TEST(CsvImport, FieldForms) {
  DrawArchive a;
  ImportResult r = ImportDrawsText(a,
                                   "1;\"a\"\"b\";1;2;3;4;5\r\n"
                                   "  2 ; \"01/02/1995\" ;1 ; 2;3 ;4; 5  \r\n"
                                   "3;01/02 1995;1;2;3;4;5\r\n"
                                   "4;\"01/02 1995\";1;2;3;4;5\r\n"
                                   "5;\"01/02/1995 10:30\";5;5;6;7;8\r\n"
                                   "6;\"\xDF\xED\xE2\";1;2;3;4;5\r\n");
  EXPECT_EQ(r.added, 5);
  EXPECT_EQ(r.skipped, 1);
  ASSERT_EQ(a.Count(), 5);
  EXPECT_EQ(a.At(0).DateString(), "a\"b");
  EXPECT_EQ(a.At(1).DateString(), "01/02/1995");
  EXPECT_EQ(a.At(1).numbers, (Combination{1, 2, 3, 4, 5}));
  EXPECT_EQ(a.At(2).number, 4);
  EXPECT_EQ(a.At(2).DateString(), "01/02 1995");
  EXPECT_EQ(a.At(3).DateString(), "01/02/1995");  // cut to ten characters
  EXPECT_EQ(a.At(3).numbers, (Combination{5, 5, 6, 7, 8}));
  EXPECT_EQ(a.At(4).DateString(), "Янв");
}

TEST(CsvImport, SkippedLines) {
  DrawArchive a = FirstDraws(3);
  const std::string text =
      "\r\n   \r\n\t\n"                     // blank: not counted
      "2;\"01/02/1995\";1;2;3;4;5\r\n"        // known draw: not counted
      "0;\"01/02/1995\";1;2;3;4;5\r\n"
      "-5;\"01/02/1995\";1;2;3;4;5\r\n"
      "x;\"01/02/1995\";1;2;3;4;5\r\n"
      "1.5;\"01/02/1995\";1;2;3;4;5\r\n"
      ";\"01/02/1995\";1;2;3;4;5\r\n"
      "10;\"01/02/1995\";0;2;3;4;5\r\n"
      "11;\"01/02/1995\";1;37;3;4;5\r\n"
      "12;\"01/02/1995\";1;2;-1;4;5\r\n"
      "13;\"01/02/1995\";1;2;3;x;5\r\n"
      "14;\"01/02/1995\";1;2;3;4;5.0\r\n"
      "15;\"01/02/1995\";1;2;3;4;261\r\n"     // 261 would be 5 in a byte
      "\"01/02/1995\";1;2;3;4;0\r\n"
      "\"01/02/1995\";1;2;3;4;5;\r\n"         // the trailing ";" makes it seven fields
      "16;\"01/02/1995\";1;2;3;4;5;\r\n"
      "17;\"01/02/1995\";1;2;3;4\r\n"
      "18\r\n"
      "20;\"01/02/1995\";1;2;3;4;6\r\n";
  ImportResult r = ImportDrawsText(a, text);
  EXPECT_EQ(r.skipped, 16);
  EXPECT_EQ(r.added, 1);
  ASSERT_EQ(a.Count(), 4);
  EXPECT_EQ(a.At(3).number, 20);
  EXPECT_EQ(a.At(3).numbers, (Combination{1, 2, 3, 4, 6}));
  EXPECT_EQ(SplitCsvLine("\"01/02/1995\";1;2;3;4;5;").size(), 7u);
}

TEST(CsvImport, LineEnds) {
  const std::string lf = "1;\"01/02/1995\";1;2;3;4;5\n2;\"01/03/1995\";6;7;8;9;10\n3;01/04/1995;11;12;13;14;15";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  crlf += "\r\n";
  std::string cr = lf;
  for (char& c : cr)
    if (c == '\n') c = '\r';
  DrawArchive a, b, c;
  EXPECT_EQ(ImportDrawsText(a, lf).added, 3);
  EXPECT_EQ(ImportDrawsText(b, crlf).added, 3);
  EXPECT_EQ(ImportDrawsText(c, cr).added, 3);
  EXPECT_EQ(a.Records(), b.Records());
  EXPECT_EQ(a.Records(), c.Records());
  EXPECT_EQ(a.At(2).DateString(), "01/04/1995");
  EXPECT_EQ(a.At(2).numbers, (Combination{11, 12, 13, 14, 15}));
}

TEST(CsvImport, FailedReadAppendsNothing) {
  TempDir dir;
  const std::string path = dir.File("draws.csv");
  WriteBytes(path, "1;\"01/02/1995\";1;2;3;4;5\r\n");
  DrawArchive a;
  a.Append(Draw(9, {1, 2, 3, 4, 5}));
  FaultEnv env;
  env.failRead = true;
  EXPECT_THROW(ImportDraws(env, a, path), Error);
  EXPECT_THROW(ImportDraws(Env::Real(), a, dir.File("missing.csv")), Error);
  ASSERT_EQ(a.Count(), 1);
  EXPECT_EQ(a.At(0).number, 9);
  EXPECT_EQ(ImportDraws(Env::Real(), a, path).added, 1);
}

}  // namespace
}  // namespace px
