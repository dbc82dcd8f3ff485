#include "cli/painting_application.h"

#include <QGuiApplication>
#include <memory>

namespace trapezola::cli {

std::string paintWithApplication(const std::function<std::string()>& paint) {
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  const struct Restore {
    QtMessageHandler handler;
    ~Restore() { qInstallMessageHandler(handler); }
  } restore{previous};
  std::unique_ptr<QGuiApplication> application;
  if (QGuiApplication::instance() == nullptr) {
    static int qtArgc = 3;
    static char name[] = "trapezola-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* qtArgv[] = {name, platformOption, platform, nullptr};
    application = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
  }
  return paint();
}

}  // namespace trapezola::cli
