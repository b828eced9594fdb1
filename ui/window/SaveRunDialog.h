#pragma once

#include <QObject>
#include <QString>

#include "RunExport.h"
#include "TextEncoding.h"

class QWidget;

// Where a run is saved, and in which encoding: Qt's file dialog, whose choice of file type is
// the choice of encoding, so that a platform's own dialog offers it as well. It opens without
// waiting, modal to its window, and tells what the user chose by Chosen.
class SaveRunDialog : public QObject {
  Q_OBJECT

 public:
  explicit SaveRunDialog(QWidget* parent);

  // Opens the dialog on the full file name `suggested`, for a log in `logEncoding`.
  void Open(const QString& suggested, Encoding logEncoding);
  // The file type that stands for `encoding`, as the dialog offers it for a log in
  // `logEncoding`.
  static QString FileType(SaveEncoding encoding, Encoding logEncoding);

 signals:
  void Chosen(const QString& fileName, SaveEncoding encoding);

 private:
  QWidget* parent_;
};
