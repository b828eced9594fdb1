#include "FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>

#include "DisplayForm.h"
#include "ErrorDisplay.h"

namespace {

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (!data) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

}  // namespace

FileDrops::FileDrops(TFormDisplay& window) : QObject(&window), window_(window) {
  window.setAcceptDrops(true);
  window.installEventFilter(this);
  // The notice shows over the figures of the load it speaks of, and goes with a load it does not.
  connect(&window, &TFormDisplay::LogCleared, this, [this] { notice_.clear(); });
  connect(&window, &TFormDisplay::LogLoaded, this, [this] {
    if (!notice_.isEmpty()) window_.statusBar()->showMessage(std::exchange(notice_, QString()));
  });
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_) return false;
  if (event->type() == QEvent::DragEnter) {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    if (!LocalFiles(enter->mimeData()).isEmpty()) enter->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = LocalFiles(drop->mimeData());
    if (files.isEmpty()) return true;
    drop->acceptProposedAction();
    RunShowingErrors([&] { Open(files); });
    return true;
  }
  return false;
}

void FileDrops::Open(const QStringList& fileNames) {
  window_.OpenLogFile(fileNames.first());
  window_.AddToRecentWhenLoaded(fileNames.first());
  if (fileNames.size() > 1) {
    notice_ = tr("%1 files were dropped; the first one is shown.").arg(fileNames.size());
  }
}
