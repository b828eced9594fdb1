#include "Viewer.h"

#include <QSettings>
#include <optional>

#include "Application.h"
#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "StoreLimit.h"
#ifdef Q_OS_UNIX
#include "RunSelectServer.h"
#endif

namespace {

// A user who wants more files held in memory, or fewer, says so in the settings; a setting that
// is not a size is passed over.
std::optional<uint64_t> InMemoryLimitSetting() {
  const QString setting = QSettings().value(QStringLiteral("Store/InMemoryLimit")).toString();
  return ParseByteSize(setting.trimmed().toStdString());
}

}  // namespace

int RunViewer(int& argc, char** argv, const QString& startupFile, bool follow,
              std::optional<uint64_t> inMemoryLimit) {
  // Made inside the guard, but kept beyond it, so that the guard can still show what failed.
  std::optional<TApplication> application;
  try {
    application.emplace(argc, argv);
    SetInMemoryLimit(inMemoryLimit ? inMemoryLimit : InMemoryLimitSetting());
    TFormDisplay form;
    if (follow) form.FollowForThisWindow();
    form.SetStartupFile(startupFile);
#ifdef Q_OS_UNIX
    TRunSelectServer channel([&form](TMessage& message) { form.Dispatch(message); });
    if (!channel.Listen()) {
      qWarning("Other programs cannot select runs in this viewer: %s",
               qPrintable(channel.ErrorString()));
    }
#endif
    form.show();
    TApplication::exec();
  } catch (...) {
    ShowCurrentException();
  }
  return 0;
}
