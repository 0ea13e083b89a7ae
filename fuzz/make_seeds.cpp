// Writes the seed corpus of every fuzz target with the engine's own writers,
// starting from the demonstration data:
//   build-fuzz/fuzz/fuzz_seeds fuzz/corpus
// Each target's seeds go to <folder>/<target>/. Rerun it after a format
// changes; the corpus in the repository is its output.
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/config.h"
#include "core/cp1251.h"
#include "core/csv.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "core/ini.h"
#include "fuzz/fuzz_support.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"
#include "stakes/ratings.h"
#include "stakes/regular.h"
#include "catalogue/client.h"
#include "catalogue/codec.h"
#include "stakes/stake_store.h"
#include "stakes/systems.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"

using namespace px;
namespace fs = std::filesystem;

namespace {

std::string out;
Env& env = Env::Real();

void Seed(const std::string& target, const std::string& name, std::string_view bytes) {
  const std::string dir = out + "/" + target;
  env.MakeDirs(dir);
  env.WriteFile(dir + "/" + name, bytes);
}

std::string Demo(const std::string& name) { return std::string(PENTALUX_SOURCE_DIR) + "/demo/" + name; }

std::string Compress(std::string_view data, int windowBits) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw Error("zlib");
  std::string result(deflateBound(&z, data.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(result.data());
  z.avail_out = static_cast<uInt>(result.size());
  deflate(&z, Z_FINISH);
  result.resize(z.total_out);
  deflateEnd(&z);
  return result;
}

// The results page as the operator's site lays it out.
std::string ResultsPage(const DrawArchive& draws, int first, int count) {
  std::string s =
      "<html><head><title>Архив тиражей</title></head><body>"
      "<section class=\"winningNumbersResults\"><h2>Результаты</h2><table>"
      "<thead><tr><th>Дата</th><th>Числа</th></tr></thead><tbody>";
  for (int i = first; i < first + count && i < draws.Count(); ++i) {
    const DrawRecord& r = draws.At(i);
    s += "\n<tr class=\"odd\"><td><div>" + r.DateString() + "</div></td><td><div>" + CombinationText(r.numbers, "-") +
         "</div></td></tr>";
  }
  s += "\n<tr class=\"even\"><td><div>12/31/2030</div></td><td><div>-</div></td></tr>";
  s += "</tbody></table></section><footer id=\"footerMain\">Контакты</footer></body></html>";
  return Utf8ToCp1251(s);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds FOLDER\n";
    return 2;
  }
  out = argv[1];
  try {
    const std::string work = fuzz::ScratchDir();
    DrawArchive demo;
    ImportDraws(env, demo, Demo("demo_draws_vantora5.csv"));
    DrawArchive recent;
    for (int i = demo.Count() - 40; i < demo.Count(); ++i) recent.Append(demo.At(i));
    DrawArchive few;
    for (int i = 0; i < 3; ++i) few.Append(demo.At(i));

    Seed("archive", "recent40.ldr", recent.Serialize());
    Seed("archive", "three.ldr", few.Serialize());
    Seed("csv", "recent40.csv", ExportDrawsText(recent));
    Seed("csv", "three.csv", ExportDrawsText(few));

    GameConfig config;
    LoadGameConfig(env, Demo("demo_config.ini"), config);
    SaveGameConfig(env, work + "/c.ini", config);
    {
      IniFile ini = IniFile::Load(env, work + "/c.ini");
      ini.WriteString("GLOBAL", "ResultsSite", "https://results.vantora.example");
      ini.Save(env, work + "/c.ini");
    }
    Seed("config", "demo.ini", env.ReadFile(work + "/c.ini"));

    {
      FormSettings form(env, work + "/w.frm");
      form.Update([](IniFile& ini) {
        MainSettings settings;
        settings.WriteCloseKeys(ini);
        WindowPlacement p;
        p.normPos = Rect{100, 100, 1300, 850};
        WritePlacement(ini, MainSettings::kSection, 1920, 1080, p);
        WriteColumnWidths(ini, MainSettings::kSection, "drawsView", {52, 30, 30, 30, 30, 30, 36, 82});
        WriteSortType(ini, MainSettings::kSection, "lvRatings", SortType{3, 1});
      });
      Seed("form", "main.frm", env.ReadFile(work + "/w.frm"));
    }

    TStatList registry;
    registry.SetDraws(&demo);
    registry.Fill();
    for (int i = 0; i < registry.Count(); i += 7) registry.Method(i).enabled = false;
    registry.Method(1).customName = "Моё имя";
    registry.SaveNames(env, work + "/n.flt", true, true, nullptr);
    Seed("names", "names.flt", env.ReadFile(work + "/n.flt"));

    {
      CombinationSet set;
      set.Paste(
          "01 05 17 22 36\r\n"
          "03 07 12 25 36\r\n"
          "02 04 06 08 10\r\n");
      set.WriteFile(env, work + "/l.lcv");
      Seed("lcv", "three.lcv", env.ReadFile(work + "/l.lcv"));
      Seed("lcv", "clipboard.txt", set.ClipboardText({0, 1, 2}));
    }

    const std::vector<std::string> lines = ReadScenarioFile(env, Demo("demo_scenario.lsc"));
    WriteScenarioFile(env, work + "/s.lsc", lines);
    Seed("scenario_file", "demo.lsc", env.ReadFile(work + "/s.lsc"));
    for (size_t i = 0; i < lines.size(); ++i)
      if (!IsSeparatorLine(lines[i])) Seed("scenario_line", "line" + std::to_string(i) + ".txt", lines[i]);

    {
      fuzz::QuietHost host;
      const std::string stakesDir = work + "/stakes";
      env.MakeDirs(stakesDir);
      {
        StakeStore store(env, host, stakesDir);
        store.Load();
        const int last = recent.At(recent.Count() - 1).number;
        store.Append(SeparatorRecord(), 1);
        store.Append(MakeStake(StakeKind::Manual, last - 1, NumberSet{5, {1, 2, 3, 4, 5}}, 0, "вручную", config.data), 1);
        store.Append(MakeStake(StakeKind::Scenario, last, NumberSet{6, {3, 9, 14, 20, 27, 33}}, 2, "сценарий", config.data), 1);
        store.Append(MakeStake(StakeKind::Manual, last + 1, NumberSet{5, {6, 7, 8, 9, 10}}, 0, "будущая", config.data), 2);
        Ratings ratings(env, host, stakesDir);
        store.CheckAll(recent, config.data, &ratings);
        ratings.Save();
        Seed("ratings", "demo.lrt", env.ReadFile(ratings.Path()));
      }
      Seed("stakes", "demo.lsk", env.ReadFile(StakesPath(stakesDir)));

      RegularStakes rules(env, host, stakesDir);
      RegularStake fixed;
      fixed.comment = "Регулярная ставка";
      fixed.start = fixed.current = {1, 2, 3, 4, 5};
      fixed.step = 1;
      rules.Add(fixed);
      RegularStake last;
      last.comment = "По тиражу";
      last.useLastDraw = true;
      last.step = -3;
      last.current = {4, 9, 17, 22, 30};
      last.stakeCount = 12;
      rules.Add(last);
      rules.Save();
      Seed("regular", "demo.ltb", env.ReadFile(rules.Path()));
    }

    {
      // The prefetch target's first byte picks the method among those with
      // a full set, in registry order; seed the smallest files.
      const DrawArchive sample = recent;
      registry.SetDraws(&sample);
      int written = 0, j = 0;
      for (int i = 0; i < registry.Count() && written < 4; ++i) {
        if (!registry.IsAvailable(i) || !registry.HasFullSet(i)) continue;
        const std::string bytes = EncodePrefetch(FullSetDistribution(registry, i));
        if (j < 256 && bytes.size() <= 2048) {
          Seed("prefetch", registry.CodeOf(i) + ".dfc", std::string(1, char(j)) + bytes);
          ++written;
        }
        ++j;
      }
    }

    {
      // A language module translating the stakes grid's titles.
      std::string lng = "; English\r\n";
      for (const std::string& title : StakeGridTitles()) lng += title + "=" + title + " (en)\r\n";
      lng += "Ошибка=Error\\rline\r\n";
      Seed("language", "enu.lng", lng);
      Seed("proxies", "proxies.txt", "# candidates\n127.0.0.1:3128\n\nproxy.example:8080\nbad line\n");
    }

    {
      // The default formulas and a few that use every part of the language.
      const GameConfig defaults;
      for (int i = 0; i < 3; ++i) Seed("formula", "default" + std::to_string(i + 1) + ".txt", defaults.Formula[size_t(i)]);
      Seed("formula", "functions.txt", "sqrt(n1*p2)+LOG(t3+1)-round(2.5)^2/abs(-n4)");
      Seed("formula", "trig.txt", "-arctan(n5)*cos(p1)+sin(t2)/tan(1.25)+arcsin(0.5)-arccos(0)");
      Seed("formula", "rest.txt", "frac(exp(ln(n2)))+int(sqr(p3))+trunc(sign(t1-3))+not(0)=junk");
    }

    {
      // The demonstration system as the store holds it, a full wheel of six,
      // and lines in every separator the format allows.
      const std::string sample = env.ReadFile(Demo("demo_system_10.txt"));
      const std::vector<SystemLine> lines = ParseSystemText(Cp1251ToUtf8(sample), 10, "demo_system_10");
      Seed("system", "demo10.txt", std::string(1, char(10 - kSystemMinNumbers)) + SystemText(lines));
      std::vector<SystemLine> wheel;
      for (int skip = 6; skip >= 1; --skip) {
        SystemLine line{};
        size_t j = 0;
        for (int p = 1; p <= 6; ++p)
          if (p != skip) line[j++] = uint8_t(p);
        wheel.push_back(line);
      }
      Seed("system", "wheel6.txt", std::string(1, char(6 - kSystemMinNumbers)) + SystemText(wheel));
      Seed("system", "separators.txt",
           std::string(1, char(36 - kSystemMinNumbers)) + "1*2+3,4-5\n36.35/34:33;32=\r7\\8_9|10~11 12 x\r\n");
      // The dialog's text: the system, typed lines with other separators and
      // lines the check drops, and a creation time.
      Seed("system_text", "demo10.txt", SystemText(lines));
      Seed("system_text", "typed.txt", "1,2,3,4,5\n\n1 2 3\n3;4;5;6;7\r\n 5 6 7 8 9 \n1 2 3 4 5 6\n");
      Seed("system_text", "time.txt", "2026-12-10 06:07:27\n01 02 03 04 05\n");
    }

    const std::string page = ResultsPage(demo, demo.Count() - 6, 6);
    Seed("download", "page.html", std::string(1, '\0') + page);
    Seed("download", "page.gz", "\1" + Compress(page, 15 + 16));
    Seed("download", "page.zlib", "\2" + Compress(page, 15));
    Seed("download", "page.raw", "\2" + Compress(page, -15));

    {
      // The catalogue's answers as the server writes them, for each reader.
      tSystemInfo info;
      info.id = 17;
      info.numberCount = 10;
      info.blockLength = 3;
      info.combinationCount = 2;
      info.title = "Система \"Х\"";
      info.description = "строка\r\nещё";
      info.author = "Иван";
      info.ownerMail = "ivan@x.ru";
      info.url = "http://x.ru/?a=1&b=2";
      info.created = 1700000000;
      info.downloads = 3;
      info.lastDownload = 1700000100;
      tSystemInfo timeless = info;
      timeless.id = 18;
      timeless.created = timeless.lastDownload = 0;
      Seed("catalogue", "list.xml", "\0" + AnswerText({ListRow(info), ListRow(timeless)}));
      Seed("catalogue", "none.xml", std::string(1, '\0') + "<html>нет</html>");
      Seed("catalogue", "error.xml", "\0" + ErrorAnswer("Сервер занят"));
      Seed("catalogue", "text.xml", "\1" + AnswerText({{{"clist", Base64Encode("01 02 03 04 05\r\n02 03 04 05 06\r\n")}}}));
      Seed("catalogue", "id.xml", "\2" + AnswerText({{{"id_systems", "42"}}}));
      Seed("catalogue", "form.txt", "\3" + FormBody(SystemCatalogue::ListFields({"Иван", "ivan@x.ru"})) + "&title=" +
                                        PercentEncode(EscapeCatalogueText("a\"b'?\\\r\n")));
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
