#pragma once

#include <QList>
#include <QString>
#include <cstdint>

// What Linux inotify reports about one file and about the folder it stands in, from its
// construction on, whoever causes it: this process or a program it runs.
class FileEventRecorder {
 public:
  struct Event {
    uint32_t mask;  // IN_OPEN, IN_CLOSE_NOWRITE, ...
    QString name;   // for an event in the folder, the name of the entry; else empty
  };
  struct Events {
    QList<Event> onFile;
    QList<Event> inFolder;
    bool overflowed = false;  // some events were lost
  };

  explicit FileEventRecorder(const QString& path);
  ~FileEventRecorder();
  FileEventRecorder(const FileEventRecorder&) = delete;
  FileEventRecorder& operator=(const FileEventRecorder&) = delete;

  bool Watching() const { return fileWatch_ >= 0 && folderWatch_ >= 0; }
  // The events since construction or the last call.
  Events Take();

 private:
  int inotify_;
  int fileWatch_;
  int folderWatch_;
};

// The events whose mask has any of `flags`.
qsizetype CountOf(const QList<FileEventRecorder::Event>& events, uint32_t flags);
// "IN_OPEN IN_CLOSE_NOWRITE name, ..." for the message of a failed check.
QString Describe(const QList<FileEventRecorder::Event>& events);
