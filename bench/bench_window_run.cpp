// The demo scenario's 100-draw test through the window (offscreen, shown)
// and through the headless tool, on copies of the same data: prints both
// times and their ratio. Runs alternate, so a busy machine weighs on both.
//
//   bench_window_run [RUNS=3] [DRAWS=100]
#include <sys/resource.h>
#include <sys/wait.h>

#include <QApplication>
#include <QSpinBox>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/csv.h"
#include "core/env.h"
#include "frame/frame.h"
#include "tests/ui/scripted_desktop.h"
#include "ui/main_window.h"
#include "ui/scenario_run.h"

#ifndef PENTALUX_SOURCE_DIR
#define PENTALUX_SOURCE_DIR "."
#endif
#ifndef PENTALUX_CLI
#define PENTALUX_CLI "pentalux"
#endif

namespace fs = std::filesystem;

namespace {

struct Times {
  double wall = 0, cpu = 0;
};

double CpuSeconds(int who) {
  rusage u{};
  getrusage(who, &u);
  return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A data folder as the demo start leaves it.
void Prepare(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path demo = fs::path(PENTALUX_SOURCE_DIR) / "demo";
  px::DrawArchive archive;
  px::ImportDraws(px::Env::Real(), archive, (demo / "demo_draws_vantora5.csv").string());
  archive.Save(px::Env::Real(), px::ArchivePath(dir.string()));
  fs::copy_file(demo / "demo_config.ini", dir / "Pentalux5_5v36.ini");
  fs::copy_file(demo / "demo_scenario.lsc", dir / "Pentalux5_5v36.lss");
  fs::copy_file(demo / "demo_scenario.lsc", dir / "scenario.lsc");
  std::FILE* f = std::fopen((dir / "Pentalux5_5v36.frm").c_str(), "wb");
  std::fputs("[TFormMain]\r\nDownloadDrawsOnStart=2\r\n", f);
  std::fclose(f);
}

Times Tool(const fs::path& dir, int draws) {
  Prepare(dir);
  const std::string command = std::string("'") + PENTALUX_CLI + "' --data-dir '" + dir.string() +
                              "' test --count " + std::to_string(draws) + " --seed 1 '" +
                              (dir / "scenario.lsc").string() + "' >/dev/null";
  const double cpu0 = CpuSeconds(RUSAGE_CHILDREN), t0 = Now();
  const int rc = std::system(command.c_str());
  Times t{Now() - t0, CpuSeconds(RUSAGE_CHILDREN) - cpu0};
  if (rc != 0) std::fprintf(stderr, "the tool failed: %d\n", rc);
  return t;
}

Times Window(const fs::path& dir, int draws) {
  Prepare(dir);
  px::ui::MainWindow window(px::Env::Real(), dir.string(), (dir / "Pentalux5_5v36").string(), {});
  auto desktop = std::make_unique<px::test::ScriptedDesktop>();
  desktop->dialogHook = [draws](QDialog& d) {
    auto* dialog = qobject_cast<px::ui::TestCountDialog*>(&d);
    if (!dialog) return false;
    dialog->CountField()->setValue(draws);
    return true;
  };
  window.SetDesktop(std::move(desktop));
  if (!window.Create()) std::fprintf(stderr, "the window did not open\n");
  window.show();
  if (!window.Initialise()) std::fprintf(stderr, "the window did not start\n");
  QApplication::processEvents();
  window.Frame().SetRunSeed(1);
  const double cpu0 = CpuSeconds(RUSAGE_SELF), t0 = Now();
  if (!window.Trigger("ScriptTest")) std::fprintf(stderr, "the window did not start the test\n");
  QApplication::processEvents();
  Times t{Now() - t0, CpuSeconds(RUSAGE_SELF) - cpu0};
  window.close();
  return t;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const int draws = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
  QApplication app(argc, argv);
  const fs::path base = fs::temp_directory_path() / ("pentalux_window_run_" + std::to_string(::getpid()));
  std::vector<double> toolWall, toolCpu, winWall, winCpu;
  std::printf("run\ttool_wall_s\ttool_cpu_s\twindow_wall_s\twindow_cpu_s\n");
  for (int r = 1; r <= runs; ++r) {
    const Times t = Tool(base / "tool", draws);
    const Times w = Window(base / "window", draws);
    toolWall.push_back(t.wall);
    toolCpu.push_back(t.cpu);
    winWall.push_back(w.wall);
    winCpu.push_back(w.cpu);
    std::printf("%d\t%.2f\t%.2f\t%.2f\t%.2f\n", r, t.wall, t.cpu, w.wall, w.cpu);
    std::fflush(stdout);
  }
  std::printf("median\t%.2f\t%.2f\t%.2f\t%.2f\n", Median(toolWall), Median(toolCpu), Median(winWall), Median(winCpu));
  std::printf("window/tool wall\t%.2f\n", Median(winWall) / std::max(Median(toolWall), 1e-9));
  // PENTALUX_KEEP=1 leaves the two data folders of the last run to compare.
  if (const char* keep = std::getenv("PENTALUX_KEEP"); keep && *keep == '1')
    std::printf("folders\t%s\n", base.c_str());
  else
    fs::remove_all(base);
  return 0;
}
