#pragma once

#include <QDialog>

class QLabel;

// Help > About: what the program is, its version, the Qt it runs on and the build's target, with
// the third-party notices that ship with it and Qt's own About box.
class AboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit AboutBox(QWidget* owner);

  // Where the notices are for this build: beside the program on Windows, under share/doc of the
  // installation elsewhere. Empty when there is no notices file there.
  static QString NoticesFile();

 private:
  void ShowNotices();
};
