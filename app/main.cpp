// The desktop program. Its data folder is --data-dir DIR, else
// PENTALUX_DATA_DIR, else the folder of the program.
#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>
#include <filesystem>

#include "core/env.h"
#include "core/process.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // The standard buttons and dialogs speak the interface's language.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Russian), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTexts);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string dataDir;
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == "--data-dir") dataDir = args[i + 1];
  const std::string program = px::ProgramPath();
  if (dataDir.empty()) {
    const char* fromEnv = std::getenv("PENTALUX_DATA_DIR");
    dataDir = (fromEnv && *fromEnv) ? fromEnv : std::filesystem::path(program).parent_path().string();
  }
  px::ui::MainWindow window(px::Env::Real(), dataDir, program, args);
  if (!window.Create()) return 0;
  window.show();
  // The long work starts once the window is on the screen.
  int code = 0;
  QTimer::singleShot(100, &window, [&] {
    if (!window.Initialise()) {
      window.close();
      app.exit(0);
    }
  });
  code = app.exec();
  return code;
}
