#include "core/env.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/errors.h"
#include "core/text.h"
#include "core/text.h"

namespace px {

std::string SystemErrorText(int errnum) {
  switch (errnum) {
    case ENOENT: return "Файл или каталог не найден";
    case EACCES:
    case EPERM: return "Отказано в доступе";
    case ENOSPC: return "Недостаточно места на диске";
    case EDQUOT: return "Превышена дисковая квота";
    case EROFS: return "Файловая система доступна только для чтения";
    case EISDIR: return "Указанный путь является каталогом";
    case ENOTDIR: return "Часть пути не является каталогом";
    case EIO: return "Ошибка ввода-вывода";
    case EEXIST: return "Файл уже существует";
    case ENAMETOOLONG: return "Слишком длинное имя файла";
    default: return std::strerror(errnum);
  }
}

namespace {

Error FileError(const char* what, const std::string& path, int errnum) {
  return Error(Fmt("%s \"%s\": %s", what, path.c_str(), SystemErrorText(errnum).c_str()));
}

// Writes everything or closes the file and throws.
void WriteAll(int fd, std::string_view data, const std::string& path) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      throw FileError("Не удалось записать файл", path, e);
    }
    done += static_cast<size_t>(n);
  }
}

class PosixEnv final : public Env {
 public:
  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }

  std::string ReadFile(const std::string& path) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw FileError("Не удалось открыть файл", path, errno);
    std::string data;
    char buf[65536];
    for (;;) {
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0) {
        if (errno == EINTR) continue;
        int e = errno;
        ::close(fd);
        throw FileError("Не удалось прочитать файл", path, e);
      }
      if (n == 0) break;
      data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
  }

  void WriteFile(const std::string& path, std::string_view data) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw FileError("Не удалось создать файл", path, errno);
    WriteAll(fd, data, path);
    if (::fsync(fd) != 0 && errno != EINVAL) {
      int e = errno;
      ::close(fd);
      throw FileError("Не удалось записать файл", path, e);
    }
    if (::close(fd) != 0) throw FileError("Не удалось записать файл", path, errno);
  }

  void Rename(const std::string& from, const std::string& to) override {
    if (::rename(from.c_str(), to.c_str()) != 0) throw FileError("Не удалось заменить файл", to, errno);
  }

  void Remove(const std::string& path) override {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) throw FileError("Не удалось удалить файл", path, errno);
  }

  void MakeDirs(const std::string& path) override {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (ec) throw FileError("Не удалось создать каталог", path, ec.value());
  }

  std::vector<std::string> ListDir(const std::string& dir) override {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(dir, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
      names.push_back(it->path().filename().string());
    return names;
  }

  std::chrono::system_clock::time_point Now() override { return std::chrono::system_clock::now(); }
};

}  // namespace

void Env::AppendFile(const std::string& path, std::string_view data) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throw FileError("Не удалось открыть файл", path, errno);
  WriteAll(fd, data, path);
  if (::close(fd) != 0) throw FileError("Не удалось записать файл", path, errno);
}

int Env::LockFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) throw FileError("Не удалось открыть файл", path, errno);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int e = errno;
    ::close(fd);
    throw FileError("Файл занят другим процессом", path, e);
  }
  return fd;
}

void Env::UnlockFile(int handle) {
  if (handle >= 0) ::close(handle);
}

Env& Env::Real() {
  static PosixEnv env;
  return env;
}

void WriteFileAtomic(Env& env, const std::string& path, std::string_view data) {
  std::string temp = path + ".tmp";
  try {
    env.WriteFile(temp, data);
    env.Rename(temp, path);
  } catch (...) {
    try {
      env.Remove(temp);
    } catch (...) {
      // The original error is the one worth reporting.
    }
    throw;
  }
}

DeleteSummary DeleteLogFiles(Env& env, const std::string& folder, const std::vector<std::string>& names) {
  DeleteSummary s;
  if (names.empty()) {
    s.text = "Файлы журналов не найдены!";
    return s;
  }
  int deleted = 0;
  std::string failures;
  for (const std::string& name : names) {
    try {
      env.Remove(JoinPath(folder, name));
      ++deleted;
    } catch (const std::exception& e) {
      s.ok = false;
      failures += "\r" + std::string(e.what());
    }
  }
  s.text = s.ok ? "Удаление файлов журналов завершено\r\r" + Fmt("Удалено файлов: %d", deleted)
                : "Не все файлы журналов удалены\r\r" +
                      Fmt("Удалено файлов: %d из %d", deleted, static_cast<int>(names.size())) + failures;
  return s;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace px
