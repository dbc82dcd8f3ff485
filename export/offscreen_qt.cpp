#include "export/offscreen_qt.h"

#include <QGuiApplication>

namespace trapezola {

struct OffscreenQt::State {
  QtMessageHandler previousHandler = nullptr;
  std::unique_ptr<QGuiApplication> application;
};

OffscreenQt::OffscreenQt() : state_(std::make_unique<State>()) {
  state_->previousHandler =
      qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  if (QCoreApplication::instance() == nullptr) {
    // Qt keeps references to argc and argv for the application's lifetime.
    static int argc = 3;
    static char name[] = "trapezola-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    state_->application = std::make_unique<QGuiApplication>(argc, argv);
  }
}

OffscreenQt::~OffscreenQt() {
  state_->application.reset();
  qInstallMessageHandler(state_->previousHandler);
}

}  // namespace trapezola
