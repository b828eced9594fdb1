#include "Viewer.h"

#include <exception>

#include "Application.h"
#include "DisplayForm.h"
#include "ErrorDisplay.h"

int RunViewer(int& argc, char** argv, const QString& startupFile) {
  const TApplication application(argc, argv);
  try {
    TFormDisplay form;
    form.SetStartupFile(startupFile);
    form.show();
    TApplication::exec();
  } catch (const std::exception& error) {
    ShowException(QString::fromLocal8Bit(error.what()));
  } catch (...) {
    ShowException(QString());
  }
  return 0;
}
