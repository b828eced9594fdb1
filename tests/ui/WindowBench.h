#pragma once

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include "WindowTest.h"

class TFormDisplay;

// A viewer window as the tests drive it: its settings in a folder of its own, error boxes
// recorded instead of shown, and the open dialog answered by the test. Commands run from the
// event loop, as the menu runs them, so that an error takes the road to the user that it takes
// in the program.
class WindowBench {
 public:
  WindowBench();
  ~WindowBench();
  WindowBench(const WindowBench&) = delete;
  WindowBench& operator=(const WindowBench&) = delete;

  TFormDisplay& Form() const { return *form_; }
  // The messages of the error boxes so far, oldest first.
  const QStringList& Errors() const { return errors_.Messages(); }

  // "&Open", with the dialog answering `fileName`.
  void Open(const QString& fileName);
  // The same, run at once and not waiting for the load it starts.
  void StartOpen(const QString& fileName);
  // The entry `fileName` chosen from the recent files, which hands it to MRUList1Click.
  void OpenRecent(const QString& fileName);
  // Shows the window and makes it the active one, which its shortcuts need; false when the
  // platform did not activate it.
  [[nodiscard]] bool ShowActive();
  // "&Reload".
  void Reload();

 private:
  void FromEventLoop(const std::function<void()>& command);

  ScratchSettings settings_;
  RecordedErrors errors_;
  std::optional<QString> dialogAnswer_;
  std::unique_ptr<TFormDisplay> form_;
};
