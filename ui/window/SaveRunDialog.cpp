#include "SaveRunDialog.h"

#include <QDir>
#include <QFileDialog>

SaveRunDialog::SaveRunDialog(QWidget* parent) : QObject(parent), parent_(parent) {}

QString SaveRunDialog::FileType(SaveEncoding encoding, Encoding logEncoding) {
  if (encoding == SaveEncoding::Utf8) return tr("UTF-8 (*.txt)");
  return tr("Log's own encoding, %1 (*.txt)").arg(QString::fromUtf8(EncodingName(logEncoding)));
}

void SaveRunDialog::Open(const QString& suggested, Encoding logEncoding) {
  auto* dialog = new QFileDialog(parent_, tr("Save Run As"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setNameFilters(
      {FileType(SaveEncoding::LogOwn, logEncoding), FileType(SaveEncoding::Utf8, logEncoding)});
  dialog->setDefaultSuffix(QStringLiteral("txt"));
  dialog->selectFile(suggested);
  connect(
      dialog, &QFileDialog::fileSelected, this, [this, dialog, logEncoding](const QString& file) {
        const bool utf8 = dialog->selectedNameFilter() == FileType(SaveEncoding::Utf8, logEncoding);
        // Qt hands names over with forward slashes; messages show them as the system writes them.
        emit Chosen(QDir::toNativeSeparators(file),
                    utf8 ? SaveEncoding::Utf8 : SaveEncoding::LogOwn);
      });
  dialog->open();
}
