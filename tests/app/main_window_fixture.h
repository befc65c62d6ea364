// A main window in a scratch game directory, shown on the offscreen platform, with every
// message box answered and written down.
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "framework/bars/button_gadget.h"
#include "framework/bars/status_bar.h"
#include "framework/frames/dockable_bar.h"
#include "framework/menus/menu.h"
#include "framework/resources/resources.h"
#include "framework/windows/responder.h"
#include "platform/game_directory.h"
#include "resources/command_ids.h"
#include "resources/game_resources.h"

class MainWindowTest : public testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(Scratch.isValid());
    SetGameDirectory(Dir());
    AddGameResources();
  }
  void TearDown() override {
    if (Frame != nullptr && Frame->IsWindow()) Frame->Destroy();
    Frame.reset();
    SetGameDirectory("");
  }

  std::string Dir() const { return Scratch.path().toStdString() + "/"; }
  std::string SettingsPath() const { return Dir() + "kavro.ini"; }

  void WriteSettings(const std::string& text) {
    QFile file(QString::fromStdString(SettingsPath()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.c_str());
  }
  std::string ReadSettings() const {
    QFile file(QString::fromStdString(SettingsPath()));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
  }

  // Starts the main window as the program does, after the settings file was written.
  void Start() {
    Frame = std::make_unique<TMyWindow>(nullptr, "Kavro", new TPuzzle(3, 3, nullptr));
    Frame->Attr.W = 800;
    Frame->Attr.H = 600;
    Frame->TickCount = [] { return Now; };
    ASSERT_TRUE(Frame->Create());
    Frame->ShowWindow(SW_SHOW);
    QCoreApplication::processEvents();
  }

  void Command(UINT id) { Frame->HandleMessage(WM_COMMAND, id, 0); }
  bool Enabled(UINT id) {
    TCommandEnabler enabler(id);
    Frame->HandleMessage(WM_COMMAND_ENABLE, id, reinterpret_cast<TParam2>(&enabler));
    return enabler.IsEnabled();
  }
  TMenu Menu() const { return TMenu(Frame->GetMenu()); }
  bool Checked(UINT id) const { return (Menu().GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
  std::string ItemText(UINT id) const {
    char text[300] = {};
    Menu().GetMenuString(id, text, sizeof text, MF_BYCOMMAND);
    return text;
  }
  TPuzzle& Board() const { return *Frame->Puzzle; }

  // Message boxes: each answered with the next queued button, else OK or Yes.
  std::deque<int> Answers;
  std::vector<TModalRequest> Asked;
  TScopedModalResponder Responder{[this](const TModalRequest& r) {
    Asked.push_back(r);
    int button =
        r.Kind == TModalRequest::MessageBox && (r.Flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    if (!Answers.empty()) {
      button = Answers.front();
      Answers.pop_front();
    }
    return TModalAnswer(button);
  }};

  inline static DWORD Now = 1000;
  QTemporaryDir Scratch;
  std::unique_ptr<TMyWindow> Frame;
};
