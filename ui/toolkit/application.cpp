#include "ui/toolkit/application.h"

#include <QMessageBox>
#include <iostream>

#include "raster/conversions.h"
#include "ui/toolkit/events.h"
#include "ui/toolkit/widget_support.h"

namespace trapezola::toolkit {

TApplication* Application = nullptr;

namespace {

void showInMessageBox(const std::string& message) {
  if (!QApplication::instance()) {
    std::cerr << QCoreApplication::applicationName().toStdString() << ": " << message << '\n';
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                        qtText(message));
}

}  // namespace

std::function<void(const std::string&)> TApplication::exceptionDisplay = showInMessageBox;

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  Application = this;
  // Only the main window ends the program (see TForm::closeEvent); a visible
  // Lyapunov window must not keep it alive, nor may closing it end it.
  setQuitOnLastWindowClosed(false);
}

TApplication::~TApplication() {
  // Windows go before the QApplication base, newest first, as they were made.
  while (!forms_.empty()) {
    OwnedForm owned = std::move(forms_.back());
    forms_.pop_back();
    owned.form.reset();
    owned.clearInstance();
  }
  Application = nullptr;
}

void TApplication::Initialize() {}

void TApplication::adoptForm(std::unique_ptr<TForm> form, std::function<void()> clearInstance) {
  forms_.push_back({std::move(form), std::move(clearInstance)});
}

void TApplication::Run() {
  if (TForm* main = MainForm()) main->show();
  exec();
}

void TApplication::ShowException(const std::exception& error) {
  if (exceptionDisplay) exceptionDisplay(error.what());
}

void TApplication::HandleException(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(Exception(""));
  }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    HandleException(std::current_exception());
  }
  return false;
}

void reportHandlerException(std::exception_ptr error) {
  TApplication::HandleException(error);
}

}  // namespace trapezola::toolkit
