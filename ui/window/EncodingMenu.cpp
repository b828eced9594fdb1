#include "EncodingMenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "RunsView.h"
#include "StatusLine.h"
#include "TextPane.h"

EncodingMenu::EncodingMenu(TFormDisplay& window, TStatusLine& statusLine)
    : QObject(&window),
      window_(window),
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
    action->setChecked(choice == choice_);
    action->setData(static_cast<int>(choice));
    actions_->addAction(action);
    connect(action, &QAction::triggered, this,
            ShowingErrors([this, choice = choice] { Choose(choice); }));
  }
  connect(&window, &TFormDisplay::LogLoaded, this, &EncodingMenu::ShowEncodingName);
  ShowEncodingName();
}

void EncodingMenu::Choose(EncodingChoice choice) {
  choice_ = choice;
  for (QAction* action : actions_->actions()) {
    action->setChecked(action->data().toInt() == static_cast<int>(choice));
  }
  // What reads the store on another thread stops before its encoding changes.
  emit window_.StoreChanging();
  LogStore& store = window_.Store;
  store.TextEncoding = ResolveEncoding(choice, store.Text.View());
  ShowEncodingName();
  window_.RunsView->Items()->RefreshTexts();
  window_.LogMemo->SetEncoding(store.TextEncoding);
  window_.ScriptMemo->SetEncoding(store.TextEncoding);
  emit Chosen(choice);
}

void EncodingMenu::ShowEncodingName() {
  const QString name = QString::fromLatin1(EncodingName(window_.Store.TextEncoding).data());
  statusLine_.ShowEncoding(choice_ == EncodingChoice::Auto ? tr("%1 (auto)").arg(name) : name);
}
