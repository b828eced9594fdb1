#include "OpenDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

namespace {

TOpenDialog::Runner& ReplacedRunner() {
  static TOpenDialog::Runner runner;
  return runner;
}

}  // namespace

TOpenDialog::TOpenDialog(QWidget* parent) : QObject(parent), parent_(parent) {}

void TOpenDialog::SetRunner(Runner runner) {
  ReplacedRunner() = std::move(runner);
}

QStringList TOpenDialog::NameFilters() const {
  const QStringList parts = Filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
    // Qt reads the patterns from the parentheses; a description that shows them already is
    // used as it stands.
    filters << (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))
                    ? description
                    : QStringLiteral("%1 (%2)").arg(description, patterns));
  }
  return filters;
}

bool TOpenDialog::Execute() {
  const std::optional<QString> chosen = ReplacedRunner() ? ReplacedRunner()(*this) : RunModally();
  if (!chosen) return false;
  FileName = *chosen;
  return true;
}

std::optional<QString> TOpenDialog::RunModally() const {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(NameFilters());
  dialog.setDefaultSuffix(DefaultExt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  // Qt hands names over with forward slashes; the caption, the recent files and the messages
  // show them as the system writes them.
  return TypedWithQuotes(dialog).value_or(QDir::toNativeSeparators(dialog.selectedFiles().first()));
}

// Qt's own dialog reads double quotes in a typed name as marks around several names, so a name
// that holds a quote (legal outside Windows) would open another file; such a name is taken as
// typed. The platform's native dialogs have no such field and answer exactly.
std::optional<QString> TOpenDialog::TypedWithQuotes(const QFileDialog& dialog) const {
  const auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (!edit || !edit->text().contains(QLatin1Char('"'))) return std::nullopt;
  QString name = QDir(dialog.directory()).absoluteFilePath(edit->text());
  if (QFileInfo(name).suffix().isEmpty() && !QFileInfo::exists(name)) name += '.' + DefaultExt;
  return name;
}
