// The window tests run against the program's own start-up: one application
// object and the three windows, created once, with the main window shown as
// TApplication::Run would show it.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <memory>

#include "app/window_setup.h"
#include "ui/main_window/tform1.h"
#include "ui/toolkit/application.h"

namespace {

class ProgramWindows : public ::testing::Environment {
 public:
  ProgramWindows(int& argc, char** argv) : argc_(argc), argv_(argv) {}

  void SetUp() override {
    application_ = std::make_unique<trapezola::toolkit::TApplication>(argc_, argv_);
    application_->Initialize();
    trapezola::createWindows(*application_);
    trapezola::Form1->show();
  }

  void TearDown() override { application_.reset(); }

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<trapezola::toolkit::TApplication> application_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // No display is needed; CTest sets the same, this covers running by hand.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  ::testing::AddGlobalTestEnvironment(new ProgramWindows(argc, argv));
  return RUN_ALL_TESTS();
}
