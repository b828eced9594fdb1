#include "FileEventRecorder.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// Every event that opening, reading, writing, or replacing the file can cause. IN_ACCESS is
// left out: a read of a large file makes many of them and says nothing a test needs.
constexpr uint32_t kFileEvents = IN_OPEN | IN_CLOSE_NOWRITE | IN_CLOSE_WRITE | IN_MODIFY |
                                 IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
// What changes the folder: a file made, removed or renamed beside the watched one, or written.
constexpr uint32_t kFolderEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB;

int Watch(int inotify, const QString& path, uint32_t events) {
  return inotify < 0 ? -1 : inotify_add_watch(inotify, QFile::encodeName(path).constData(), events);
}

const std::pair<uint32_t, const char*> kNames[] = {
    {IN_OPEN, "IN_OPEN"},
    {IN_CLOSE_NOWRITE, "IN_CLOSE_NOWRITE"},
    {IN_CLOSE_WRITE, "IN_CLOSE_WRITE"},
    {IN_MODIFY, "IN_MODIFY"},
    {IN_ATTRIB, "IN_ATTRIB"},
    {IN_DELETE_SELF, "IN_DELETE_SELF"},
    {IN_MOVE_SELF, "IN_MOVE_SELF"},
    {IN_CREATE, "IN_CREATE"},
    {IN_DELETE, "IN_DELETE"},
    {IN_MOVED_FROM, "IN_MOVED_FROM"},
    {IN_MOVED_TO, "IN_MOVED_TO"},
    {IN_IGNORED, "IN_IGNORED"},
};

}  // namespace

FileEventRecorder::FileEventRecorder(const QString& path)
    : inotify_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      fileWatch_(Watch(inotify_, path, kFileEvents)),
      folderWatch_(Watch(inotify_, QFileInfo(path).absolutePath(), kFolderEvents)) {}

FileEventRecorder::~FileEventRecorder() {
  if (inotify_ >= 0) close(inotify_);
}

FileEventRecorder::Events FileEventRecorder::Take() {
  Events events;
  alignas(inotify_event) char buffer[64 * 1024];
  ssize_t got = 0;
  while ((got = read(inotify_, buffer, sizeof buffer)) > 0) {
    for (const char* at = buffer; at < buffer + got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      at += sizeof(inotify_event) + event->len;
      if (event->mask & IN_Q_OVERFLOW) events.overflowed = true;
      const Event recorded{event->mask, event->len ? QFile::decodeName(event->name) : QString()};
      if (event->wd == fileWatch_) events.onFile << recorded;
      if (event->wd == folderWatch_) events.inFolder << recorded;
    }
  }
  return events;
}

qsizetype CountOf(const QList<FileEventRecorder::Event>& events, uint32_t flags) {
  return std::count_if(
      events.begin(), events.end(),
      [flags](const FileEventRecorder::Event& event) { return event.mask & flags; });
}

QString Describe(const QList<FileEventRecorder::Event>& events) {
  QStringList described;
  for (const FileEventRecorder::Event& event : events) {
    QStringList parts;
    for (const auto& [flag, name] : kNames) {
      if (event.mask & flag) parts << name;
    }
    if (!event.name.isEmpty()) parts << event.name;
    described << parts.join(' ');
  }
  return described.join(", ");
}
