#include "Viewer.h"

#include <exception>

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
  } catch (const std::exception& error) {
    ShowException(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowException(QString());
  }
  return 0;
}
