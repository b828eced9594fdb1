#pragma once

#include <QMainWindow>

#include "Message.h"

// A main window that routes messages from other programs through one virtual function. A
// message that no window class handles is dropped here.
class TForm : public QMainWindow {
  Q_OBJECT

 public:
  using QMainWindow::QMainWindow;

  virtual void Dispatch(TMessage& /*message*/) {}
};
