#include "Viewer.h"

#include <optional>

#include "Application.h"
#include "DisplayForm.h"
#include "ErrorDisplay.h"
#ifdef Q_OS_UNIX
#include "RunSelectServer.h"
#endif

int RunViewer(int& argc, char** argv, const QString& startupFile, bool follow) {
  // Made inside the guard, but kept beyond it, so that the guard can still show what failed.
  std::optional<TApplication> application;
  try {
    application.emplace(argc, argv);
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
