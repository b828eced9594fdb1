#include "RunSaver.h"

#include <QDir>
#include <QSaveFile>
#include <QThread>
#include <algorithm>
#include <exception>
#include <new>

#include "FilePath.h"
#include "SameFile.h"

// A save's thread, and what it shares with the GUI thread. A QThread, not one of the standard
// library's, since the QSaveFile it makes is a QObject, which would make Qt adopt the thread.
struct RunSaver::Job {
  std::unique_ptr<QThread> thread;
  std::shared_ptr<TextLease> lease = std::make_shared<TextLease>();
  std::shared_ptr<QString> failure = std::make_shared<QString>();  // set before the thread ends
  QString fileName;
};

RunSaver::RunSaver(QObject* parent) : QObject(parent) {}

RunSaver::~RunSaver() {
  for (Job& job : jobs_) {
    job.lease->TakeBack();
    // A save to a share that has stopped answering may go on for long: it ends alone.
    QThread* thread = job.thread.release();
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    if (thread->isFinished()) thread->deleteLater();
  }
}

void RunSaver::Save(RunExport run, const QString& fileName, const QString& logFile) {
  Job job;
  job.fileName = fileName;
  job.thread.reset(QThread::create(
      [run = std::move(run), fileName, logFile, lease = job.lease,
       failure = job.failure]() mutable { *failure = Write(run, fileName, logFile, *lease); }));
  const QThread* thread = job.thread.get();
  connect(thread, &QThread::finished, this, [this, thread] { Finish(thread); });
  jobs_.push_back(std::move(job));
  jobs_.back().thread->start();
}

void RunSaver::StoreChanging() {
  for (const Job& job : jobs_) job.lease->TakeBack();
}

void RunSaver::Finish(const QThread* thread) {
  const auto at = std::ranges::find(jobs_, thread, [](const Job& job) { return job.thread.get(); });
  if (at == jobs_.end()) return;
  const Job job = std::move(*at);
  jobs_.erase(at);
  job.thread->wait();
  if (job.failure->isEmpty()) {
    emit Saved(job.fileName);
  } else {
    emit Failed(*job.failure);
  }
}

QString RunSaver::Write(RunExport& run, const QString& fileName, const QString& logFile,
                        TextLease& lease) {
  const QString shownName = QDir::toNativeSeparators(fileName);
  const auto cannot = [&](const QString& why) {
    return tr("Cannot save the run as \"%1\": %2").arg(shownName, why);
  };
  try {
    if (NameTheSameFile(PathOf(fileName), PathOf(logFile))) {
      return cannot(
          tr("that is the log itself, and Message Log Display never writes a log. "
             "Choose another name."));
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return cannot(file.errorString());
    bool written = true;
    const bool whole = run.WriteTo(
        [&](std::string_view bytes) {
          written = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                    static_cast<qint64>(bytes.size());
          return written;
        },
        lease);
    if (!written) return cannot(file.errorString());
    if (!whole)
      return cannot(
          tr("the log was read again or shown in another encoding meanwhile. Save the run again."));
    if (!file.commit()) return cannot(file.errorString());
    return {};
  } catch (const std::bad_alloc&) {
    return cannot(tr("there is not enough memory."));
  } catch (const std::exception& error) {
    return cannot(QString::fromUtf8(error.what()));
  } catch (...) {
    return cannot(tr("the run could not be read."));
  }
}
