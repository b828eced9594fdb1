#pragma once

#include <QObject>
#include <QString>

class TFormDisplay;

// Files dropped on the window: the first is opened as Open opens a file, and added to the recent
// files; of several, the status line says that only the first is shown.
class FileDrops : public QObject {
  Q_OBJECT

 public:
  explicit FileDrops(TFormDisplay& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Open(const QStringList& fileNames);

  TFormDisplay& window_;
  QString notice_;  // for the status line once the dropped file has loaded
};
