#include "EncodingMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "LogDocument.h"
#include "StatusLine.h"

EncodingMenu::EncodingMenu(TFormDisplay& window, TStatusLine& statusLine)
    : QObject(&window),
      document_(window.Document()),
      statusLine_(statusLine),
      menu_(window.MainMenu1->addMenu(tr("&Encoding"))),
      actions_(new QActionGroup(this)) {
  const std::pair<QString, EncodingChoice> choices[] = {
      {tr("&Auto"), EncodingChoice::Auto},
      {tr("&Windows-1252"), EncodingChoice::Windows1252},
      {tr("&UTF-8"), EncodingChoice::Utf8}};
  for (const auto& [text, choice] : choices) {
    QAction* action = menu_->addAction(text);
    action->setCheckable(true);
    action->setChecked(choice == document_.Encoding());
    action->setData(static_cast<int>(choice));
    actions_->addAction(action);
    connect(action, &QAction::triggered, this,
            ShowingErrors([this, choice = choice] { Choose(choice); }));
  }
  connect(&window, &TFormDisplay::LogLoaded, this, &EncodingMenu::ShowEncodingName);
  ShowEncodingName();
}

EncodingChoice EncodingMenu::Choice() const {
  return document_.Encoding();
}

void EncodingMenu::Choose(EncodingChoice choice) {
  for (QAction* action : actions_->actions()) {
    action->setChecked(action->data().toInt() == static_cast<int>(choice));
  }
  document_.SetEncoding(choice);
  ShowEncodingName();
  emit Chosen(choice);
}

void EncodingMenu::ShowEncodingName() {
  const QString name = QString::fromLatin1(EncodingName(document_.Store().TextEncoding).data());
  statusLine_.ShowEncoding(Choice() == EncodingChoice::Auto ? tr("%1 (auto)").arg(name) : name);
}
