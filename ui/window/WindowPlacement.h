#pragma once

#include <QObject>

class QWidget;
class TSplitterPanel;

// The window's size, its place on the screen, whether it is maximised, and where its two bars
// stand, kept between runs: the window opens as the last one was closed, on a screen that is
// there now. Until a window has been closed once, it opens as it always did.
class WindowPlacement : public QObject {
  Q_OBJECT

 public:
  WindowPlacement(QWidget& window, TSplitterPanel& bars);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Restore();
  void Save() const;

  QWidget& window_;
  TSplitterPanel& bars_;
};
