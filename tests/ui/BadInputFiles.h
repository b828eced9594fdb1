#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "TestLogs.h"

// Files that the viewer must refuse without hanging, or read without harm, made in a folder
// that goes away with it. The folder is open to other users, so that where a file cannot be
// read by them, its own permissions are the reason.
class BadInputFiles {
 public:
  BadInputFiles();
  ~BadInputFiles();
  BadInputFiles(const BadInputFiles&) = delete;
  BadInputFiles& operator=(const BadInputFiles&) = delete;

  QString Folder() const { return folder_; }
  QString Path(const QString& name) const { return logs_.Path(name); }
  QString Write(const QString& name, const QByteArray& bytes) const {
    return logs_.Write(name, bytes);
  }

  QString MakeDirectory(const QString& name) const;
  QString MakeFifo(const QString& name) const;
  // A FIFO that this object holds open for writing and never writes to: a reader of it waits
  // for ever.
  QString MakeFifoWithSilentWriter(const QString& name);
  // `name` links to a second link, which links back to `name`.
  QString MakeSymlinkLoop(const QString& name) const;
  // A file with `bytes` that no one but root may read.
  QString WriteUnreadable(const QString& name, const QByteArray& bytes) const;

  // `size` bytes and no line end: marker texts inside the one line must count for nothing.
  QString WriteOneLongLine(const QString& name, qint64 size) const;
  // `size` random bytes (from a fixed seed) with `planted` in their middle, on lines of its own.
  // The random bytes hold no '-' and no '=', which every marker starts with, so that no marker
  // line can come about by chance.
  QString WriteRandomAround(const QString& name, qint64 size, const QByteArray& planted) const;

 private:
  TestLogs logs_;
  QString folder_;
  QList<int> silentWriters_;
};
