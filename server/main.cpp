// pentalux-catalogue --db FILE [--listen ADDR:PORT]
#include <csignal>
#include <iostream>
#include <string>

#include "core/errors.h"
#include "server/catalogue_server.h"

namespace {

px::CatalogueServer* running = nullptr;

void OnSignal(int) {
  if (running) running->Stop();
}

int Usage() {
  std::cerr << "Использование: pentalux-catalogue --db ФАЙЛ [--listen АДРЕС:ПОРТ]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string db, listen = "127.0.0.1:8080";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if ((a == "--db" || a == "--listen") && i + 1 < argc)
      (a == "--db" ? db : listen) = argv[++i];
    else
      return Usage();
  }
  std::string host;
  int port = 0;
  if (db.empty() || !px::ParseListenAddress(listen, host, port)) return Usage();
  try {
    px::CatalogueServer server(db, std::cout);
    if (port == 0 ? (port = server.BindAnyPort(host)) <= 0 : !server.Bind(host, port)) {
      std::cerr << "Не удалось занять адрес " << listen << "\n";
      return 1;
    }
    std::cout << "Каталог систем " << db << " на http://" << host << ":" << port << std::endl;
    running = &server;
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    server.Listen();
    running = nullptr;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
