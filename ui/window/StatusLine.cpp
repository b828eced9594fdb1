#include "StatusLine.h"

#include <QDir>
#include <QLabel>
#include <QLocale>

#include "LogStore.h"

namespace {

// A notice belongs to the moment: it goes after this long even when nothing replaces it.
constexpr int kNoticeMilliseconds = 6000;

QString Counted(size_t count, const QString& one, const QString& many) {
  return QStringLiteral("%1 %2").arg(QLocale().toString(qulonglong(count)),
                                     count == 1 ? one : many);
}

}  // namespace

TStatusLine::TStatusLine(QWidget* parent)
    : QStatusBar(parent),
      runs_(new QLabel),
      size_(new QLabel),
      encoding_(new QLabel),
      loadTime_(new QLabel) {
  for (QLabel* label : {runs_, size_, encoding_, loadTime_}) addPermanentWidget(label);
  noticeTime_.setSingleShot(true);
  noticeTime_.setInterval(kNoticeMilliseconds);
  connect(&noticeTime_, &QTimer::timeout, this, &QStatusBar::clearMessage);
  connect(this, &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (!message.isEmpty()) noticeTime_.start();
  });
}

void TStatusLine::ShowStore(const LogStore& store, qint64 loadMilliseconds) {
  const QLocale locale;
  runs_->setText(tr("%1 in %2")
                     .arg(Counted(store.Runs.size(), tr("run"), tr("runs")),
                          Counted(store.RowToRun.size(), tr("row"), tr("rows"))));
  clearMessage();
  size_->setText(locale.formattedDataSize(qint64(store.Text.End())));
  loadTime_->setText(tr("loaded in %1 ms").arg(loadMilliseconds));
}

void TStatusLine::ShowLoading(const LogStore& store, qint64 bytesTaken, qint64 bytesTotal) {
  const QLocale locale;
  showMessage(tr("Loading: %1 of %2, %3")
                  .arg(locale.formattedDataSize(bytesTaken), locale.formattedDataSize(bytesTotal),
                       Counted(store.Runs.size(), tr("run"), tr("runs"))));
}

void TStatusLine::ShowIndexing(qint64 bytesTaken, qint64 bytesTotal) {
  const QLocale locale;
  showMessage(tr("Indexing: %1 of %2")
                  .arg(locale.formattedDataSize(bytesTaken), locale.formattedDataSize(bytesTotal)));
}

void TStatusLine::ShowEncoding(const QString& encoding) {
  encoding_->setText(encoding);
}

void TStatusLine::ClearFigures() {
  for (QLabel* label : {runs_, size_, loadTime_}) label->clear();
}

QString TStatusLine::FiguresText() const {
  QStringList parts;
  for (const QLabel* label : {runs_, size_, encoding_, loadTime_}) parts << label->text();
  return parts.join(QLatin1String(" | "));
}

void TStatusLine::ShowAnswering(bool answering, const QString& fileName) {
  if (answering) {
    clearMessage();
  } else {
    showMessage(tr("\"%1\" is not answering; the window shows what it has read and goes on "
                   "trying.")
                    .arg(QDir::toNativeSeparators(fileName)));
  }
}
