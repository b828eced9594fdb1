#include "Viewer.h"

#include <exception>

#include "Application.h"
#include "DisplayForm.h"
#include "ErrorDisplay.h"
#include "RunSelectServer.h"

int RunViewer(int& argc, char** argv, const QString& startupFile) {
  const TApplication application(argc, argv);
  try {
    TFormDisplay form;
    form.SetStartupFile(startupFile);
    TRunSelectServer channel([&form](TMessage& message) { form.Dispatch(message); });
    if (!channel.Listen()) {
      qWarning("Other programs cannot select runs in this viewer: %s",
               qPrintable(channel.ErrorString()));
    }
    form.show();
    TApplication::exec();
  } catch (const std::exception& error) {
    ShowException(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowException(QString());
  }
  return 0;
}
