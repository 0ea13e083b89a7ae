#include "core/env.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/errors.h"
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

Error SystemError(int errnum) { return Error(SystemErrorText(errnum)); }

void SyncPath(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) throw FileError("Не удалось записать файл", path, errno);
  if (::fsync(fd) != 0 && errno != EINVAL) {
    int e = errno;
    ::close(fd);
    throw FileError("Не удалось записать файл", path, e);
  }
  ::close(fd);
}

class PosixFile final : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  int64_t Size() override { return Stat().st_size; }
  int64_t ModifiedNs() override {
    const struct stat st = Stat();
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  }

  void ReadAt(int64_t position, char* out, size_t size) override {
    RequireOpen();
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(position + int64_t(done)));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw SystemError(errno);
      }
      if (n == 0) throw SystemError(EIO);
      done += static_cast<size_t>(n);
    }
  }

  void WriteAt(int64_t position, std::string_view data) override {
    RequireOpen();
    size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::pwrite(fd_, data.data() + done, data.size() - done, static_cast<off_t>(position + int64_t(done)));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw SystemError(errno);
      }
      done += static_cast<size_t>(n);
    }
  }

  void Append(std::string_view data) override {
    RequireOpen();
    const int64_t size = Size();
    size_t done = 0;
    while (done < data.size()) {
      ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        const int e = errno;
        if (done > 0) {
          const int ignored = ::ftruncate(fd_, static_cast<off_t>(size));
          (void)ignored;
        }
        throw SystemError(e);
      }
      done += static_cast<size_t>(n);
    }
  }

  void Truncate(int64_t size) override {
    RequireOpen();
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) throw SystemError(errno);
  }

  void Flush() override {
    RequireOpen();
    if (::fsync(fd_) != 0 && errno != EINVAL) throw SystemError(errno);
  }

  void Close() override {
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throw SystemError(errno);
  }

 private:
  void RequireOpen() const {
    if (fd_ < 0) throw SystemError(EBADF);
  }
  struct stat Stat() const {
    RequireOpen();
    struct stat st;
    if (::fstat(fd_, &st) != 0) throw SystemError(errno);
    return st;
  }

  int fd_;
};

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

  void WriteFileLazily(const std::string& path, std::string_view data) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw FileError("Не удалось создать файл", path, errno);
    WriteAll(fd, data, path);
    if (::close(fd) != 0) throw FileError("Не удалось записать файл", path, errno);
  }

  void SyncFile(const std::string& path) override {
    SyncPath(path, O_RDONLY);
    // The rename that put the file there is an entry of its folder.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    SyncPath(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
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

  void SetFileTime(const std::string& path, std::chrono::system_clock::time_point when) override {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(when.time_since_epoch()).count();
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(seconds);
    times[0].tv_nsec = times[1].tv_nsec = 0;
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
      throw FileError("Не удалось установить время файла", path, errno);
  }
};

}  // namespace

void Env::AppendFile(const std::string& path, std::string_view data) {
  std::unique_ptr<File> file;
  try {
    file = OpenFile(path, FileMode::Append);
  } catch (const std::exception& e) {
    throw Error(Fmt("Не удалось открыть файл \"%s\": %s", path.c_str(), e.what()));
  }
  try {
    file->Append(data);
    file->Close();
  } catch (const std::exception& e) {
    throw Error(Fmt("Не удалось записать файл \"%s\": %s", path.c_str(), e.what()));
  }
}

std::unique_ptr<File> Env::OpenFile(const std::string& path, FileMode mode) {
  const int flags = mode == FileMode::Append ? O_WRONLY | O_APPEND : O_RDWR;
  int fd = ::open(path.c_str(), flags | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (mode == FileMode::Locked) throw FileError("Не удалось открыть файл", path, errno);
    throw SystemError(errno);
  }
  // The lock belongs to the open file, so it ends with the handle.
  if (mode == FileMode::Locked && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int e = errno;
    ::close(fd);
    throw FileError("Файл занят другим процессом", path, e);
  }
  return std::make_unique<PosixFile>(fd);
}

Env& Env::Real() {
  static PosixEnv env;
  return env;
}

std::string UniqueTempPath(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return Fmt("%s.%ld-%u.tmp", path.c_str(), static_cast<long>(::getpid()), ++counter);
}

void WriteFileAtomic(Env& env, const std::string& path, std::string_view data, bool lazily) {
  const std::string temp = UniqueTempPath(path);
  try {
    if (lazily)
      env.WriteFileLazily(temp, data);
    else
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

void WriteFileAtomic(Env& env, const std::string& path, std::string_view data,
                     std::chrono::system_clock::time_point modified) {
  const std::string temp = UniqueTempPath(path);
  try {
    env.WriteFile(temp, data);
    env.SetFileTime(temp, modified);
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
