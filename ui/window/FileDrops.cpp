#include "FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "MRUList.h"

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
  window_.MRUList1->Add(fileNames.first());
  if (fileNames.size() > 1) {
    window_.statusBar()->showMessage(
        tr("%1 files were dropped; the first one is shown.").arg(fileNames.size()));
  }
}
