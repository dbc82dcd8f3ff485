// The application object: owns the windows, runs the message loop and shows the
// errors that escape event handlers.
//
// An exception that leaves a handler stops that handler where it stands; the
// application reports its message through exceptionDisplay and goes on
// processing messages. Whatever the handler changed before it raised stays
// changed.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/form.h"

namespace trapezola::toolkit {

class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  ~TApplication() override;

  void Initialize();

  // Creates a window owned by the application and stores it in `instance`; the
  // first window created becomes the main window. `instance` is cleared when the
  // application destroys the window.
  template <typename Form>
  void CreateForm(Form*& instance) {
    auto form = std::make_unique<Form>();
    instance = form.get();
    adoptForm(std::move(form), [&instance] { instance = nullptr; });
  }

  TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front().form.get(); }

  // Shows the main window and processes messages until it closes.
  void Run();

  // Shows an error's message the way the application shows every error.
  static void ShowException(const std::exception& error);
  // Reports whatever was thrown: a std::exception by its message, anything else
  // as an error without a message.
  static void HandleException(std::exception_ptr error);

  // Where error messages go. The default opens a modal message box (or writes to
  // standard error when there is no application); tests put a recorder here.
  static std::function<void(const std::string& message)> exceptionDisplay;

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  struct OwnedForm {
    std::unique_ptr<TForm> form;
    std::function<void()> clearInstance;
  };

  void adoptForm(std::unique_ptr<TForm> form, std::function<void()> clearInstance);

  std::vector<OwnedForm> forms_;
};

// The one application object while it exists, otherwise null.
extern TApplication* Application;

}  // namespace trapezola::toolkit
