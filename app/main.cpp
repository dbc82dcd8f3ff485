// Trapezola: an explorer for the circular-trapezoid billiard.
#include "app/window_setup.h"
#include "raster/conversions.h"
#include "ui/toolkit/application.h"

using trapezola::toolkit::Exception;
using trapezola::toolkit::TApplication;

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  application.setApplicationName(QStringLiteral("Trapezola"));
  // Errors that escape the handlers are shown by the application itself; what
  // escapes start-up or the message loop ends up here and is shown the same way.
  try {
    application.Initialize();
    trapezola::createWindows(application);
    application.Run();
  } catch (const std::exception& error) {
    TApplication::ShowException(error);
  } catch (...) {
    TApplication::ShowException(Exception(""));
  }
  return 0;
}
