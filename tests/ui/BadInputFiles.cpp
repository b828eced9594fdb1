#include "BadInputFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>

namespace {

constexpr qint64 kChunkSize = 1 << 20;

void Require(bool done, const char* what, const QString& path) {
  if (!done) qFatal("cannot make %s %s", what, qPrintable(path));
}

// Appends `size` bytes to `file`, a chunk at a time; `fill` writes each chunk's bytes.
void WriteInChunks(QFile& file, qint64 size, const std::function<void(QByteArray&)>& fill) {
  QByteArray chunk;
  for (qint64 left = size; left > 0; left -= chunk.size()) {
    chunk.resize(std::min(left, kChunkSize));
    fill(chunk);
    Require(file.write(chunk) == chunk.size(), "the file", file.fileName());
  }
}

}  // namespace

BadInputFiles::BadInputFiles() : folder_(QFileInfo(logs_.Path("x")).absolutePath()) {
  Require(QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadOther | QFile::ExeOther | QFile::ReadGroup |
                                             QFile::ExeGroup),
          "an open folder", folder_);
}

BadInputFiles::~BadInputFiles() {
  for (const int writer : silentWriters_) close(writer);
}

QString BadInputFiles::MakeDirectory(const QString& name) const {
  const QString path = Path(name);
  Require(QDir().mkdir(path), "the directory", path);
  return path;
}

QString BadInputFiles::MakeFifo(const QString& name) const {
  const QString path = Path(name);
  Require(mkfifo(QFile::encodeName(path).constData(), 0644) == 0, "the FIFO", path);
  return path;
}

QString BadInputFiles::MakeFifoWithSilentWriter(const QString& name) {
  const QString path = MakeFifo(name);
  // Read and write: on Linux that opens a FIFO at once, without waiting for a reader.
  const int writer = open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
  Require(writer >= 0, "the FIFO's writer", path);
  silentWriters_ << writer;
  return path;
}

QString BadInputFiles::MakeSymlinkLoop(const QString& name) const {
  const QString path = Path(name);
  const QString other = Path(name + ".other");
  Require(QFile::link(other, path) && QFile::link(path, other), "the symlink loop", path);
  return path;
}

QString BadInputFiles::WriteUnreadable(const QString& name, const QByteArray& bytes) const {
  const QString path = Write(name, bytes);
  Require(QFile::setPermissions(path, {}), "the unreadable file", path);
  return path;
}

QString BadInputFiles::WriteOneLongLine(const QString& name, qint64 size) const {
  const QByteArray pattern = "------ NextPart = Script ==>loading script \"x\". \t\x01\xe4";
  QFile file(Path(name));
  Require(file.open(QIODevice::WriteOnly), "the long line", file.fileName());
  const QByteArray block = pattern.repeated(kChunkSize / pattern.size() + 1);
  WriteInChunks(file, size, [&](QByteArray& chunk) {
    std::copy_n(block.constData(), chunk.size(), chunk.data());
  });
  return file.fileName();
}

QString BadInputFiles::WriteRandomAround(const QString& name, qint64 size,
                                         const QByteArray& planted) const {
  std::mt19937_64 random(20261201);
  const auto noise = [&](QByteArray& chunk) {
    char* bytes = chunk.data();
    uint64_t word = 0;
    for (qsizetype i = 0; i < chunk.size(); ++i, word >>= 8) {
      if (i % 8 == 0) word = random();
      const char c = static_cast<char>(word & 0xff);
      bytes[i] = c == '-' || c == '=' ? '+' : c;
    }
  };
  QFile file(Path(name));
  Require(file.open(QIODevice::WriteOnly), "the random file", file.fileName());
  WriteInChunks(file, size / 2, noise);
  Require(file.write("\n" + planted) == planted.size() + 1, "the random file", file.fileName());
  WriteInChunks(file, size - size / 2, noise);
  return file.fileName();
}
