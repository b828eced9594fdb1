#include "Viewer.h"

#include "Application.h"
#include "DisplayForm.h"
#include "ErrorDisplay.h"
#ifdef Q_OS_UNIX
#include "RunSelectServer.h"
#endif

int RunViewer(int& argc, char** argv, const QString& startupFile) {
  const TApplication application(argc, argv);
  try {
    TFormDisplay form;
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
