#include <iostream>

#include "SelectRunSender.h"

// On Windows a program selects a run by sending the viewer's window the message 74 itself;
// there is no socket to deliver it through.
int SendSelectRun(qint32 /*row*/, std::optional<qint64> /*pid*/) {
  std::cerr << "message-log-display: on Windows, send the viewer's window the message 74 "
               "(WM_COPYDATA) with the row number as its first parameter\n";
  return 1;
}
