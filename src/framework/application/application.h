// TApplication: makes the main window through its hook, shows it, and runs the message
// loop until the main window is gone.
#pragma once

#include <memory>

#include "framework/resources/module.h"
#include "platform/winconst.h"

class TWindow;

class TApplication : public TModule {
 public:
  explicit TApplication(const char* name = nullptr);
  ~TApplication() override;

  // Called once from Run; the game creates its main window here.
  virtual void InitMainWindow();
  // Takes the main window; the application destroys it at the end.
  void SetMainWindow(std::unique_ptr<TWindow> window);
  TWindow* GetMainWindow() const { return MainWindow.get(); }

  // The show command of the main window's first show.
  int nCmdShow = SW_SHOWNORMAL;

  // InitMainWindow, create and show the main window, then the loop; returns the exit
  // code given to the main window's Destroy or to Quit.
  int Run();
  void Quit(int exitCode = 0);

  // Runs whenever the loop goes idle: command enabling for menus and buttons. Returns
  // true to be called again before waiting.
  virtual bool IdleAction(long idleCount);

  static TApplication* Current();

  struct TImpl;

 private:
  std::unique_ptr<TWindow> MainWindow;
  std::unique_ptr<TImpl> Pimpl;
};
