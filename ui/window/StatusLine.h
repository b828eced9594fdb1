#pragma once

#include <QStatusBar>
#include <QTimer>

class QLabel;
struct LogStore;

// The line under the panes: how many runs and rows the file has, its size, the encoding it is
// shown in and how long the last load took; notices appear at its left until the next load
// succeeds or a few seconds have passed.
class TStatusLine : public QStatusBar {
  Q_OBJECT

 public:
  explicit TStatusLine(QWidget* parent = nullptr);

  void ShowStore(const LogStore& store, qint64 loadMilliseconds);
  // How far a load has got: `bytesTaken` of `bytesTotal`, and the runs found so far.
  void ShowLoading(const LogStore& store, qint64 bytesTaken, qint64 bytesTotal);
  void ShowIndexing(qint64 bytesTaken, qint64 bytesTotal);
  void ShowEncoding(const QString& encoding);
  // Whether the file `fileName` answers the looks at it and the reads of it.
  void ShowAnswering(bool answering, const QString& fileName);
  void ClearFigures();
  QString FiguresText() const;

 private:
  QLabel* runs_;
  QLabel* size_;
  QLabel* encoding_;
  QLabel* loadTime_;
  QTimer noticeTime_;
};
