#include "AboutBox.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "Version.h"

namespace {

#ifdef Q_OS_WIN
const QString kTarget = QStringLiteral("Windows x64");
const QString kNoticesPath = QStringLiteral("/THIRD-PARTY-NOTICES.txt");
#else
const QString kTarget = QStringLiteral("Linux");
const QString kNoticesPath =
    QStringLiteral("/../share/doc/message-log-display/THIRD-PARTY-NOTICES.txt");
#endif

}  // namespace

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(tr("About Message Log Display"));
  auto* text = new QLabel(
      tr("<h3>Message Log Display</h3>"
         "<p>Version %1</p>"
         "<p>Built for %2, running on Qt %3</p>"
         "<p>A viewer for the message logs of Vantrel. It never changes a log.</p>")
          .arg(QStringLiteral(MLD_VERSION_TEXT), kTarget, QString::fromLatin1(qVersion())));
  text->setObjectName(QStringLiteral("AboutText"));
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  auto* notices = buttons->addButton(tr("Third-party &notices"), QDialogButtonBox::ActionRole);
  notices->setObjectName(QStringLiteral("NoticesButton"));
  auto* aboutQt = buttons->addButton(tr("About &Qt"), QDialogButtonBox::ActionRole);
  connect(notices, &QPushButton::clicked, this, &AboutBox::ShowNotices);
  connect(aboutQt, &QPushButton::clicked, this, [this] { QMessageBox::aboutQt(this); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(buttons);
}

QString AboutBox::NoticesFile() {
  const QFileInfo file(QCoreApplication::applicationDirPath() + kNoticesPath);
  return file.isFile() ? file.canonicalFilePath() : QString();
}

// The notices in a window of their own, beside the box; without a notices file (a program run
// from its build folder), where the licenses of what it uses are to be found instead.
void AboutBox::ShowNotices() {
  const QString path = NoticesFile();
  QFile file(path);
  QString text;
  if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
    text = QString::fromUtf8(file.readAll());
  } else {
    text = tr("There is no THIRD-PARTY-NOTICES.txt beside this program. Message Log Display uses "
              "Qt %1 (LGPL-3.0), linked dynamically; the licenses of the Qt in use come with it "
              "(on Linux in /usr/share/doc of the Qt packages).")
               .arg(QString::fromLatin1(qVersion()));
  }
  auto* view = new QPlainTextEdit(text);
  view->setObjectName(QStringLiteral("NoticesText"));
  view->setAttribute(Qt::WA_DeleteOnClose);
  view->setReadOnly(true);
  view->setWindowTitle(tr("Third-party notices"));
  view->setWindowFlag(Qt::Window);
  view->setParent(this, Qt::Window);
  view->resize(640, 480);
  view->show();
}
