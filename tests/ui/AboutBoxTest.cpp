#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

#include "AboutBox.h"
#include "DisplayForm.h"
#include "WindowTest.h"

// Help > About, as a user reaches it from the window's menu bar.
class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void helpIsTheLastMenu() {
    TFormDisplay form(nullptr);
    const QList<QAction*> menus = form.menuBar()->actions();
    QCOMPARE(menus.first()->text(), QStringLiteral("&File"));
    QCOMPARE(menus.last()->text(), QStringLiteral("&Help"));
    // A menu that a part of the window adds later goes before Help.
    form.menuBar()->addMenu(QStringLiteral("&Later"));
    QCOMPARE(form.menuBar()->actions().last()->text(), QStringLiteral("&Help"));
    QCOMPARE(form.menuBar()->actions().size(), menus.size() + 1);
  }

  void showsTheVersionTheQtInUseAndTheTarget() {
    TFormDisplay form(nullptr);
    form.show();
    ChooseAbout(form);
    QTRY_VERIFY(ShownBox(form));
    AboutBox* box = ShownBox(form);
    const QString text = box->findChild<QLabel*>(QStringLiteral("AboutText"))->text();
    // The project's version as CMakeLists.txt sets it, handed to this test on its own.
    QVERIFY2(text.contains(QStringLiteral("Version " MLD_PROJECT_VERSION)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Qt ") + QLibraryInfo::version().toString()),
             qPrintable(text));
#ifdef Q_OS_WIN
    QVERIFY2(text.contains(QStringLiteral("Windows x64")), qPrintable(text));
#else
    QVERIFY2(text.contains(QStringLiteral("Linux")), qPrintable(text));
#endif
    // A second About brings the same box forward rather than another one.
    ChooseAbout(form);
    QCOMPARE(form.findChildren<AboutBox*>().size(), 1);
    box->close();
    QTRY_VERIFY(form.findChild<AboutBox*>() == nullptr);
  }

  void showsTheNoticesOrWhereTheyAre() {
    TFormDisplay form(nullptr);
    ChooseAbout(form);
    QTRY_VERIFY(ShownBox(form));
    AboutBox* box = ShownBox(form);
    box->findChild<QPushButton*>(QStringLiteral("NoticesButton"))->click();
    QPlainTextEdit* notices = nullptr;
    QTRY_VERIFY((notices = box->findChild<QPlainTextEdit*>(QStringLiteral("NoticesText"))));
    QVERIFY(notices->isVisible());
    // A test program has no notices file beside it: the text says where the licenses are.
    QVERIFY(AboutBox::NoticesFile().isEmpty());
    QVERIFY2(notices->toPlainText().contains(QStringLiteral("LGPL-3.0")),
             qPrintable(notices->toPlainText()));
    box->close();
  }

 private:
  static void ChooseAbout(TFormDisplay& form) {
    QMenu* help = form.menuBar()->actions().last()->menu();
    help->findChild<QAction*>(QStringLiteral("AboutAction"))->trigger();
  }
  static AboutBox* ShownBox(TFormDisplay& form) {
    auto* box = form.findChild<AboutBox*>();
    return box != nullptr && box->isVisible() ? box : nullptr;
  }

  ScratchSettings settings_;
};

WINDOW_TEST_MAIN(AboutBoxTest)
#include "AboutBoxTest.moc"
