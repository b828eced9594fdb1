#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "RunExport.h"

class QThread;

// Writes runs to text files (RunExport) on threads of their own, so that neither a run of
// gigabytes nor a file on a share that has stopped answering holds up the window. A file is
// written beside its name first and takes the name only once it is whole (QSaveFile), so a save
// that fails leaves no part of a file behind, and a file that was there before stays as it was.
// The log a run comes from is never written: its name is refused, however it is spelled.
class RunSaver : public QObject {
  Q_OBJECT

 public:
  explicit RunSaver(QObject* parent = nullptr);
  ~RunSaver() override;
  RunSaver(const RunSaver&) = delete;
  RunSaver& operator=(const RunSaver&) = delete;

  // Writes `run` to `fileName`, unless that is the log `logFile` itself; Saved or Failed tells
  // how it went.
  void Save(RunExport run, const QString& fileName, const QString& logFile);
  // The store is about to change: the saves that read its text stop, and fail; none reads it
  // once this returns.
  void StoreChanging();
  bool Saving() const { return !jobs_.empty(); }

 signals:
  void Saved(const QString& fileName);
  // `message` names the file and says why it was not saved.
  void Failed(const QString& message);

 private:
  struct Job;

  // What writing `run` to `fileName` met: nothing when it was saved, else why not.
  static QString Write(RunExport& run, const QString& fileName, const QString& logFile,
                       TextLease& lease);
  void Finish(const QThread* thread);

  std::vector<Job> jobs_;
};
