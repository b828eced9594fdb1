#include "WindowBench.h"

#include <QAction>
#include <QCoreApplication>
#include <QSettings>
#include <QTest>

#include "DisplayForm.h"
#include "MRUList.h"
#include "OpenDialog.h"

WindowBench::WindowBench() {
  TOpenDialog::SetRunner([this](const TOpenDialog&) { return dialogAnswer_; });
  form_ = std::make_unique<TFormDisplay>();
}

WindowBench::~WindowBench() {
  form_.reset();
  TOpenDialog::SetRunner({});
}

bool WindowBench::ShowActive() {
  form_->show();
  form_->activateWindow();
  return QTest::qWaitForWindowActive(form_.get());
}

void WindowBench::Open(const QString& fileName) {
  dialogAnswer_ = fileName;
  FromEventLoop([this] { form_->OpenMenuItem->trigger(); });
}

void WindowBench::StartOpen(const QString& fileName) {
  dialogAnswer_ = fileName;
  form_->OpenMenuItemClick(form_->OpenMenuItem);
}

void WindowBench::OpenRecent(const QString& fileName) {
  FromEventLoop([this, fileName] { emit form_->MRUList1->Click(form_->MRUList1, fileName, 0); });
}

void WindowBench::Reload() {
  FromEventLoop([this] { form_->ReloadMenuItem->trigger(); });
}

void WindowBench::FromEventLoop(const std::function<void()>& command) {
  QMetaObject::invokeMethod(form_.get(), command, Qt::QueuedConnection);
  WAIT_FOR_LOAD(*form_);
}
