#include "StatusLine.h"

#include <QLabel>
#include <QLocale>

#include "LogStore.h"

TStatusLine::TStatusLine(QWidget* parent)
    : QStatusBar(parent),
      runs_(new QLabel),
      size_(new QLabel),
      encoding_(new QLabel),
      loadTime_(new QLabel) {
  for (QLabel* label : {runs_, size_, encoding_, loadTime_}) addPermanentWidget(label);
}

void TStatusLine::ShowStore(const LogStore& store, qint64 loadMilliseconds) {
  const QLocale locale;
  runs_->setText(tr("%1 runs in %2 rows")
                     .arg(locale.toString(qulonglong(store.Runs.size())),
                          locale.toString(qulonglong(store.RowToRun.size()))));
  size_->setText(locale.formattedDataSize(qint64(store.Text.Size())));
  loadTime_->setText(tr("loaded in %1 ms").arg(loadMilliseconds));
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
