#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The dialog that chooses a log file. Its filter is written as description|pattern pairs, as
// the control software's other tools write them. Tests put a function in place of the modal
// dialog, so that no test ever waits for a user.
class TOpenDialog : public QObject {
  Q_OBJECT

 public:
  using Runner = std::function<std::optional<QString>(const TOpenDialog& dialog)>;

  explicit TOpenDialog(QWidget* parent);

  QString DefaultExt;
  QString Filter;
  QString FileName;  // the full name of the chosen file, after Execute returned true

  // Runs the dialog modally; false when the user cancelled it.
  bool Execute();
  // The name filters in Qt's form ("Description (*.ext)").
  QStringList NameFilters() const;

  static void SetRunner(Runner runner);

 private:
  std::optional<QString> RunModally() const;
  std::optional<QString> TypedWithQuotes(const QFileDialog& dialog) const;
  QWidget* parent_;
};
