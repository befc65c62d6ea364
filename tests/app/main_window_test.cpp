// The main window at start, on exit, with hand-written settings, recent files, enabling
// rules and check marks.
#include <QDir>
#include <QImage>

#include <functional>
#include <vector>

#include "framework/bars/gadgets.h"
#include "framework/resources/accelerators.h"
#include "main_window_fixture.h"

namespace {

constexpr const char* FreshSettings =
    "[KAVRO]\n"
    "FIRST=1\n"
    "COLOR=8421440\n"
    "PIECESX=3\n"
    "PIECESY=3\n"
    "EMPTYX=2\n"
    "EMPTYY=2\n"
    "TYPE=1\n"
    "GAME=1\n"
    "PIECESCOLOR=12632256\n"
    "FONTCOLOR=16711680\n"
    "FONTNAME=Arial\n"
    "FONTSTYLE=0\n"
    "3D=0\n"
    "SOUND=1\n"
    "FITIN=0\n"
    "GRID=1\n"
    "FALSE=0\n";

// A small picture file in dir.
std::string MakePicture(const std::string& dir, const char* name) {
  QImage image(60, 40, QImage::Format_RGB32);
  image.fill(qRgb(200, 30, 30));
  const std::string path = dir + name;
  image.save(QString::fromStdString(path), "BMP");
  return path;
}

}  // namespace

TEST_F(MainWindowTest, FreshStartShowsTheDefaultBoardAndExitWritesTheSettings) {
  Start();
  EXPECT_EQ(Board().Columns, 3);
  EXPECT_EQ(Board().Rows, 3);
  EXPECT_EQ(Board().ContentKind, TContentKind::Alphabet);
  EXPECT_EQ(Board().GameType, TGameType::Sliding);
  EXPECT_TRUE(Board().Idle);
  EXPECT_EQ(Board().GetBkgndColor(), RGB(64, 128, 128));
  EXPECT_EQ(Board().Pieces[0][0]->Color, RGB(192, 192, 192));
  EXPECT_STREQ(Board().LabelFont->GetLogFont().lfFaceName, "Arial");
  EXPECT_EQ(Board().LabelColor, RGB(0, 0, 255));
  for (UINT on : {CM_SLIDING, CM_ALPHABET, CM_SOUND, CM_GRID, CM_PIECES3})
    EXPECT_TRUE(Checked(on)) << on;
  for (UINT off : {CM_JIGSAW, CM_NUMERIC, CM_3DEFFECT, CM_FALSEPIECES, CM_FITINWINDOW,
                   CM_CUSTOMPIECES, CM_PIECES3 + 1})
    EXPECT_FALSE(Checked(off)) << off;
  EXPECT_EQ(Frame->SlidingButton->GetButtonState(), TButtonGadget::Down);
  EXPECT_EQ(Frame->AlphabetButton->GetButtonState(), TButtonGadget::Down);
  EXPECT_EQ(Frame->JigsawButton->GetButtonState(), TButtonGadget::Up);
  EXPECT_EQ(Frame->FalsePiecesButton->GetButtonState(), TButtonGadget::Up);
  EXPECT_STREQ(Frame->StatusBar->GetText(), " ");
  EXPECT_STREQ(Frame->PiecesText->GetText(), "Puzzle pieces: 3 x 3");
  EXPECT_STREQ(Frame->FalseText->GetText(), "Incorrect pieces: 0");
  TMenu game(Menu().GetSubMenu(0));
  EXPECT_EQ(game.GetMenuItemID(game.GetMenuItemCount() - 1), CM_EXIT) << "no recent files";
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Dir() + "Scores")));

  Answers = {IDNO};
  Frame->CloseWindow();
  EXPECT_TRUE(Frame->IsWindow()) << "No keeps the game";
  EXPECT_EQ(ReadSettings(), "[KAVRO]\nFIRST=1\n") << "the settings wait for the exit";
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Text, "Do you really want to exit Kavro?");
  EXPECT_EQ(Asked[0].Caption, "Kavro");
  EXPECT_EQ(Asked[0].Flags, MB_YESNO | MB_ICONQUESTION);

  Frame->CloseWindow();
  EXPECT_FALSE(Frame->IsWindow());
  EXPECT_EQ(ReadSettings(), FreshSettings);
}

TEST_F(MainWindowTest, HandWrittenSettingsAreReadWithTheirDefaultsAndLimits) {
  const std::string picture = MakePicture(Dir(), "red.bmp");
  // Each start is checked, then ended as the program ends it; the file written back must
  // hold Written and not Absent.
  struct TCase {
    std::string Ini;
    std::function<void(MainWindowTest&)> Check;
    std::vector<std::string> Written;
    std::vector<std::string> Absent;
  };
  const TCase cases[] = {
      {"PIECESX=25\nPIECESY=7\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().Columns, 3);
         EXPECT_EQ(t.Board().Rows, 7);
         EXPECT_EQ(t.Board().EmptyY, 6);
         EXPECT_TRUE(t.Checked(CM_CUSTOMPIECES));
       },
       {"PIECESX=3\n", "PIECESY=7\n", "EMPTYX=2\n", "EMPTYY=6\n"},
       {}},
      // The empty cell comes back on the board size it was saved with.
      {"PIECESX=5\nPIECESY=6\nEMPTYX=3\nEMPTYY=1\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().EmptyX, 3);
         EXPECT_EQ(t.Board().EmptyY, 1);
         EXPECT_EQ(t.Board().Pieces[1][3]->Number, 0);
       },
       {"PIECESX=5\n", "PIECESY=6\n", "EMPTYX=3\n", "EMPTYY=1\n"},
       {}},
      {"PIECESX=4\nPIECESY=4\nEMPTYX=260\nEMPTYY=-5\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().EmptyX, 3) << "260 is 4 in its low byte: off the board";
         EXPECT_EQ(t.Board().EmptyY, 3);
       },
       {"EMPTYX=3\n", "EMPTYY=3\n"},
       {}},
      {"PIECESCOLOR=green\nFONTCOLOR=255\nCOLOR=\nFONTSTYLE=3\nFONTNAME="
       "AVeryLongFaceNameThatGoesOnAndOnBeyondThirtyOne\n3D=1\nSOUND=2\nGRID=0\nFALSE=1\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().Pieces[0][0]->Color, 0u);
         EXPECT_EQ(t.Board().LabelColor, 255u);
         EXPECT_EQ(t.Board().GetBkgndColor(), 0u);
         const LOGFONT& font = t.Board().LabelFont->GetLogFont();
         EXPECT_EQ(font.lfWeight, FW_BOLD);
         EXPECT_EQ(font.lfItalic, 1);
         EXPECT_EQ(font.lfUnderline, 0);
         EXPECT_STREQ(font.lfFaceName, "AVeryLongFaceNameThatGoesOnAndO");
         EXPECT_TRUE(t.Board().Effect3D);
         EXPECT_TRUE(t.Checked(CM_3DEFFECT));
         EXPECT_FALSE(t.Board().SoundOn);
         EXPECT_FALSE(t.Checked(CM_SOUND));
         EXPECT_FALSE(t.Board().ShowGrid);
         EXPECT_TRUE(t.Checked(CM_FALSEPIECES));
         EXPECT_EQ(t.Frame->FalsePiecesButton->GetButtonState(), TButtonGadget::Down);
       },
       {"\nCOLOR=0\n", "PIECESCOLOR=0\n", "FONTCOLOR=255\n",
        "FONTNAME=AVeryLongFaceNameThatGoesOnAndO\n", "FONTSTYLE=3\n", "3D=1\n", "SOUND=0\n",
        "FITIN=0\n", "GRID=0\n", "FALSE=1\n"},
       {}},
      // A face name is cut on a character, never inside one.
      {"FONTNAME=Schriftx\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
       "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\n",
       [](MainWindowTest& t) {
         EXPECT_STREQ(t.Board().LabelFont->GetLogFont().lfFaceName,
                      "Schriftx\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4"
                      "\xC3\xA4\xC3\xA4\xC3\xA4");
       },
       {},
       {}},
      {"TYPE=3\nGAME=2\nFILE=/no/such/picture.bmp\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().ContentKind, TContentKind::Alphabet);
         EXPECT_EQ(t.Board().GameType, TGameType::Sliding);
         EXPECT_FALSE(t.Frame->CurrentFile);
         ASSERT_FALSE(t.Asked.empty());
         EXPECT_EQ(t.Asked[0].Text, "Unable to open /no/such/picture.bmp.");
       },
       {"TYPE=1\n", "GAME=1\n"},
       {"FILE="}},
      // A pasted picture cannot come back: letters, as for an empty FILE.
      {"TYPE=3\nGAME=2\nFILE=[clipboard]\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().ContentKind, TContentKind::Alphabet);
         EXPECT_FALSE(t.Board().Picture);
         EXPECT_FALSE(t.Frame->CurrentFile);
         EXPECT_TRUE(t.Checked(CM_ALPHABET));
         EXPECT_TRUE(t.Asked.empty());
       },
       {"TYPE=1\n"},
       {"FILE="}},
      {"TYPE=3\nFILE=" + picture + "\nPIECESX=4\nPIECESY=3\n",
       [picture](MainWindowTest& t) {
         EXPECT_EQ(t.Board().ContentKind, TContentKind::Picture);
         ASSERT_TRUE(t.Board().Picture);
         EXPECT_EQ(t.Board().Columns, 4);
         EXPECT_EQ(t.Frame->CurrentFile, picture);
         EXPECT_EQ(t.Frame->RecentPath(0), picture);
         EXPECT_EQ(t.Frame->AlphabetButton->GetButtonState(), TButtonGadget::Up);
         EXPECT_FALSE(t.Checked(CM_ALPHABET));
       },
       {"TYPE=3\n", "FILE=" + picture + "\n", "[MRUL]\n1=" + picture + "\n"},
       {"2="}},
      {"TYPE=9\nGAME=0\nPIECESX=x\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().ContentKind, TContentKind::Alphabet);
         EXPECT_EQ(t.Board().GameType, TGameType::Sliding);
         EXPECT_EQ(t.Board().Columns, 3);
       },
       {"TYPE=1\n", "GAME=1\n", "PIECESX=3\n"},
       {}},
      // Entries keep their numbers while the program runs; the file gets them without gaps.
      {"TYPE=2\n[MRUL]\n1=/a/one.bmp\n3=/a/three.kvr\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.Board().ContentKind, TContentKind::Numeric);
         EXPECT_TRUE(t.Checked(CM_NUMERIC));
         EXPECT_EQ(t.ItemText(CM_RECENT1), "&1 /a/one.bmp");
         EXPECT_EQ(t.ItemText(CM_RECENT1 + 2), "&3 /a/three.kvr");
         EXPECT_FALSE(t.Frame->Recent[1]);
       },
       {"TYPE=2\n", "[MRUL]\n1=/a/one.bmp\n2=/a/three.kvr\n"},
       {"3="}},
      {"[MRUL]\n2=/a/two.bmp\n",
       [](MainWindowTest& t) { EXPECT_FALSE(t.Frame->Recent[1]); },
       {},
       {"MRUL", "two.bmp"}},
      // A path named twice is listed once; one in other letters is another file.
      {"[MRUL]\n1=/a/one.bmp\n2=/A/ONE.bmp\n3=/a/x.bmp\n4=/a/one.bmp\n",
       [](MainWindowTest& t) {
         EXPECT_EQ(t.ItemText(CM_RECENT1 + 1), "&2 /A/ONE.bmp");
         EXPECT_EQ(t.ItemText(CM_RECENT1 + 2), "&3 /a/x.bmp");
         EXPECT_FALSE(t.Frame->Recent[3]);
       },
       {"[MRUL]\n1=/a/one.bmp\n2=/A/ONE.bmp\n3=/a/x.bmp\n"},
       {"4="}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Ini);
    Asked.clear();
    WriteSettings("[KAVRO]\n" + c.Ini);
    Start();
    c.Check(*this);
    Frame->Destroy();
    Frame.reset();
    const std::string written = ReadSettings();
    for (const std::string& part : c.Written)
      EXPECT_NE(written.find(part), std::string::npos) << part << " in\n" << written;
    for (const std::string& part : c.Absent)
      EXPECT_EQ(written.find(part), std::string::npos) << part;
  }
}

// Two starts with the picture of the last game: no path may come to stand twice, whatever
// gaps the file had.
TEST_F(MainWindowTest, RecentFilesWithGapsNeverRepeatOverRestarts) {
  const std::string picture = MakePicture(Dir(), "e.bmp");
  WriteSettings("[KAVRO]\nTYPE=3\nFILE=" + picture +
                "\n[MRUL]\n1=/x/a.bmp\n3=/x/c.bmp\n4=/x/d.bmp\n");
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run);
    Start();
    EXPECT_EQ(Frame->RecentPath(0), picture);
    Frame->CloseWindow();
    ASSERT_FALSE(Frame->IsWindow());
    Frame.reset();
    const std::string ini = ReadSettings();
    EXPECT_NE(ini.find("[MRUL]\n1=" + picture + "\n2=/x/a.bmp\n3=/x/c.bmp\n4=/x/d.bmp\n"),
              std::string::npos)
        << ini;
  }
  // One more picture: now the oldest falls off.
  Start();
  Frame->AddRecentFile("/x/f.bmp");
  for (UINT id = CM_RECENT1; id <= CM_RECENT4; ++id)
    EXPECT_NE(Menu().GetMenuState(id, MF_BYCOMMAND), MenuItemNotFound);
  EXPECT_EQ(ItemText(CM_RECENT4), "&4 /x/c.bmp");
  Frame->CloseWindow();
  EXPECT_NE(ReadSettings().find("1=/x/f.bmp\n2=" + picture + "\n3=/x/a.bmp\n4=/x/c.bmp\n"),
            std::string::npos);
}

TEST_F(MainWindowTest, RecentFilesMoveToTheTopAndKeepFour) {
  Start();
  for (const char* path : {"/p/a.bmp", "/p/b.bmp", "/p/c.kvr"}) Frame->AddRecentFile(path);
  EXPECT_EQ(ItemText(CM_RECENT1), "&1 /p/c.kvr");
  EXPECT_EQ(ItemText(CM_RECENT1 + 2), "&3 /p/a.bmp");
  TMenu game(Menu().GetSubMenu(0));
  const int count = game.GetMenuItemCount();
  EXPECT_EQ(game.GetMenuState(static_cast<UINT>(count - 4), MF_BYPOSITION), MF_SEPARATOR);

  Frame->AddRecentFile("/P/A.BMP");  // entry 3 in other letters: another file here
  EXPECT_EQ(ItemText(CM_RECENT1), "&1 /P/A.BMP");
  EXPECT_EQ(ItemText(CM_RECENT4), "&4 /p/a.bmp");
  Frame->AddRecentFile("/p/b.bmp");  // entry 3 itself moves to the top
  EXPECT_EQ(ItemText(CM_RECENT1), "&1 /p/b.bmp");
  EXPECT_EQ(ItemText(CM_RECENT1 + 1), "&2 /P/A.BMP");
  EXPECT_EQ(ItemText(CM_RECENT1 + 2), "&3 /p/c.kvr");

  Frame->AddRecentFile("/p/d.jpg");
  Frame->AddRecentFile("/p/e.jpg");
  EXPECT_EQ(ItemText(CM_RECENT1), "&1 /p/e.jpg");
  EXPECT_EQ(ItemText(CM_RECENT4), "&4 /P/A.BMP");
  EXPECT_EQ(game.GetMenuItemCount(), count + 1) << "one item more, never a fifth";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(game.GetMenuItemID(count - 3 + i), CM_RECENT1 + i);

  Frame->CloseWindow();
  const std::string ini = ReadSettings();
  EXPECT_NE(ini.find("[MRUL]\n1=/p/e.jpg\n2=/p/d.jpg\n3=/p/b.bmp\n4=/P/A.BMP\n"), std::string::npos)
      << ini;
}

// The longest picture path a saved game can name and the longest path the file dialogs
// take come back whole after a restart.
TEST_F(MainWindowTest, LongPathsComeBackWholeAfterARestart) {
  const std::string folder = Dir() + std::string(120, 'f') + "/";
  QDir().mkpath(QString::fromStdString(folder));
  const std::string picture =
      MakePicture(folder, (std::string(254 - folder.size() - 4, 'p') + ".bmp").c_str());
  const std::string game = folder + std::string(259 - folder.size() - 4, 'g') + ".KVR";
  ASSERT_EQ(picture.size(), 254u);
  WriteSettings("[KAVRO]\nTYPE=3\nFILE=" + picture + "\n");
  Start();
  EXPECT_EQ(Frame->CurrentFile, picture);
  Frame->AddRecentFile(game.c_str());
  Frame->CloseWindow();
  Frame.reset();
  Start();
  EXPECT_EQ(Frame->CurrentFile, picture);
  EXPECT_EQ(Frame->RecentPath(0), picture) << "opened again at start";
  EXPECT_EQ(Frame->RecentPath(1), game);
}

TEST_F(MainWindowTest, EnablingRulesFollowTheBoard) {
  Start();
  // Letters, idle.
  for (UINT id : {CM_NORMAL, CM_ZOOMIN, CM_ZOOMOUT, CM_FALSEPIECES, CM_THUMBNAIL, CM_FITINWINDOW,
                  CM_SAVEGAME})
    EXPECT_FALSE(Enabled(id)) << id;
  for (UINT id : {CM_FONT, CM_PIECESCOLOR, CM_EMPTYSPACE, CM_BESTTIMES, CM_SCRAMBLE})
    EXPECT_TRUE(Enabled(id)) << id;
  Command(CM_SCRAMBLE);
  EXPECT_TRUE(Enabled(CM_SAVEGAME)) << "a game in play can be saved";
  // The toolbar button follows the same rule.
  Frame->IdleAction(0);
  EXPECT_TRUE(Frame->Toolbar->FindGadget(static_cast<int>(CM_SAVEGAME))->GetEnabled());
  EXPECT_FALSE(Frame->FalsePiecesButton->GetEnabled());

  // A picture.
  const std::string picture = MakePicture(Dir(), "red.bmp");
  Frame->CurrentFile = picture;
  ASSERT_TRUE(Frame->OpenPicture(picture.c_str()));
  for (UINT id : {CM_NORMAL, CM_ZOOMIN, CM_ZOOMOUT, CM_FALSEPIECES, CM_THUMBNAIL, CM_FITINWINDOW})
    EXPECT_TRUE(Enabled(id)) << id;
  EXPECT_FALSE(Enabled(CM_FONT));
  EXPECT_FALSE(Enabled(CM_PIECESCOLOR));
  EXPECT_FALSE(Enabled(CM_SAVEGAME)) << "idle after opening";
  Frame->IdleAction(0);
  EXPECT_TRUE(Frame->FalsePiecesButton->GetEnabled());

  Command(CM_JIGSAW);
  EXPECT_FALSE(Enabled(CM_EMPTYSPACE));
  EXPECT_TRUE(Checked(CM_JIGSAW));
  EXPECT_EQ(Frame->JigsawButton->GetButtonState(), TButtonGadget::Down);

  // A pasted picture is neither saved nor timed for best times.
  Frame->CurrentFile = ClipboardName;
  Command(CM_SCRAMBLE);
  EXPECT_FALSE(Enabled(CM_SAVEGAME));
  EXPECT_FALSE(Enabled(CM_BESTTIMES));

  Command(CM_NUMERIC);
  EXPECT_EQ(Board().GameType, TGameType::Sliding);
  EXPECT_TRUE(Checked(CM_NUMERIC));
  EXPECT_FALSE(Frame->CurrentFile);
  EXPECT_FALSE(Enabled(CM_ZOOMIN));
}

TEST_F(MainWindowTest, PiecesMenuMarksTheBoardSize) {
  Start();
  struct TCase {
    int Columns;
    int Rows;
    UINT Marked;
  };
  const TCase cases[] = {{15, 15, CM_PIECES15},
                         {5, 5, CM_PIECES3 + 2},
                         {16, 16, CM_CUSTOMPIECES},
                         {4, 6, CM_CUSTOMPIECES},
                         {3, 3, CM_PIECES3}};
  for (const TCase& c : cases) {
    Board().SetSize(c.Columns, c.Rows);
    Frame->UpdatePiecesMenu();
    for (UINT id = CM_PIECES3; id <= CM_PIECES15; ++id) EXPECT_EQ(Checked(id), id == c.Marked);
    EXPECT_EQ(Checked(CM_CUSTOMPIECES), c.Marked == CM_CUSTOMPIECES);
  }
  Command(CM_PIECES3 + 7);
  EXPECT_EQ(Board().Columns, 10);
  EXPECT_TRUE(Checked(CM_PIECES3 + 7));
  EXPECT_STREQ(Frame->PiecesText->GetText(), "Puzzle pieces: 10 x 10");
}

TEST_F(MainWindowTest, TheMenuAndItsHintsAreComplete) {
  Start();
  const char* popups[] = {"&Game", "&Pieces", "&Type", "&View", "&Options", "&Help"};
  for (int i = 0; i < 6; ++i) {
    char text[40] = {};
    Menu().GetMenuString(static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, popups[i]);
  }
  EXPECT_EQ(ItemText(CM_PIECES3 + 8), "&A  11 x 11 (121 pieces)");
  EXPECT_EQ(ItemText(CM_ZOOMOUT), "Zoom &out\tCtrl+PgUp");
  EXPECT_EQ(ItemText(CM_STATUSBAR), "&Status bar");
  for (UINT id = CM_SCRAMBLE; id <= CM_TOOLBARLEFT; ++id) {
    if (Menu().GetMenuState(id, MF_BYCOMMAND) == MenuItemNotFound) continue;
    EXPECT_NE(TResources::FindString(id), nullptr) << id;
  }
  EXPECT_EQ(*TResources::FindString(CM_PIECES15), "Create a puzzle with 225 pieces");
}

// The toolbar gadget by gadget: separators (id 0) and buttons with their command and kind,
// and the buttons the frame keeps to set their state.
TEST_F(MainWindowTest, TheToolbarHoldsItsButtonsInOrder) {
  Start();
  using B = TButtonGadget;
  const struct {
    UINT Id;  // 0: a separator
    B::TType Type;
    B* TMyWindow::*Kept;
  } gadgets[] = {
      {CM_SCRAMBLE, B::Command, nullptr},
      {CM_OPENIMAGE, B::Command, nullptr},
      {0, B::Command, nullptr},
      {CM_LOADGAME, B::Command, nullptr},
      {CM_SAVEGAME, B::Command, nullptr},
      {0, B::Command, nullptr},
      {CM_BESTTIMES, B::Command, nullptr},
      {0, B::Command, nullptr},
      {CM_CUSTOMPIECES, B::Command, nullptr},
      {0, B::Command, nullptr},
      {CM_SLIDING, B::Exclusive, &TMyWindow::SlidingButton},
      {CM_JIGSAW, B::Exclusive, &TMyWindow::JigsawButton},
      {0, B::Command, nullptr},
      {CM_ALPHABET, B::Exclusive, &TMyWindow::AlphabetButton},
      {CM_NUMERIC, B::Exclusive, &TMyWindow::NumericButton},
      {0, B::Command, nullptr},
      {CM_FALSEPIECES, B::NonExclusive, &TMyWindow::FalsePiecesButton},
      {CM_THUMBNAIL, B::NonExclusive, &TMyWindow::ThumbnailButton},
      {0, B::Command, nullptr},
      {CM_HELP, B::Command, nullptr},
      {CM_EXIT, B::Command, nullptr},
  };
  ASSERT_EQ(Frame->Toolbar->GadgetCount(), static_cast<int>(std::size(gadgets)));
  for (int i = 0; i < Frame->Toolbar->GadgetCount(); ++i) {
    SCOPED_TRACE(i);
    TGadget* gadget = Frame->Toolbar->GetGadget(i);
    auto* button = dynamic_cast<B*>(gadget);
    if (gadgets[i].Id == 0) {
      EXPECT_NE(dynamic_cast<TSeparatorGadget*>(gadget), nullptr);
      continue;
    }
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetId(), static_cast<int>(gadgets[i].Id));
    EXPECT_EQ(button->GetType(), gadgets[i].Type);
    if (gadgets[i].Kept != nullptr) {
      EXPECT_EQ((*Frame).*gadgets[i].Kept, button);
    }
  }
}

// The accelerator table, and its keys at work on the frame: a greyed command's key does
// nothing.
TEST_F(MainWindowTest, TheAcceleratorsSendTheirCommands) {
  const struct {
    UINT Key;
    bool Ctrl, Shift, Alt;
    UINT Command;  // 0: no accelerator
  } keys[] = {
      {VK_F2, false, false, false, CM_SCRAMBLE},
      {VK_F1, false, false, false, CM_HELP},
      {'O', true, false, false, CM_OPENIMAGE},
      {'L', true, false, false, CM_LOADGAME},
      {'S', true, false, false, CM_SAVEGAME},
      {VK_PRIOR, true, false, false, CM_ZOOMOUT},
      {VK_NEXT, true, false, false, CM_ZOOMIN},
      {'O', false, false, false, 0},
      {VK_F2, false, true, false, 0},
      {VK_F4, false, false, true, 0},
      {VK_NEXT, false, false, false, 0},
  };
  const TAccelTable table(nullptr, IDA_MAIN);
  for (const auto& k : keys) {
    EXPECT_EQ(table.Translate(k.Key, k.Ctrl, k.Shift, k.Alt), k.Command) << k.Key;
  }
  Start();
  EXPECT_TRUE(Frame->TranslateAccelerator('S', true, false, false));
  EXPECT_TRUE(Asked.empty()) << "Save game is greyed while no game runs";
  EXPECT_TRUE(Frame->TranslateAccelerator(VK_F2, false, false, false));
  EXPECT_FALSE(Board().Idle) << "F2 scrambles";
  EXPECT_FALSE(Frame->TranslateAccelerator('O', false, false, false));
}

TEST(DefaultSaveName, ReplacesOnlyAnExtensionOfTheFileName) {
  const std::optional<std::string> none;
  EXPECT_EQ(DefaultSaveName(none, std::string("/img/cat.bmp"), TContentKind::Picture),
            "/img/cat.KVR");
  EXPECT_EQ(DefaultSaveName(none, std::string("/pics.old/cat"), TContentKind::Picture),
            "/pics.old/cat.KVR");
  EXPECT_EQ(
      DefaultSaveName(std::string("/g/x.KVR"), std::string("/img/cat.bmp"), TContentKind::Picture),
      "/g/x.KVR");
  EXPECT_EQ(DefaultSaveName(none, none, TContentKind::Numeric), "Numeric.KVR");
  EXPECT_EQ(DefaultSaveName(none, none, TContentKind::Alphabet), "Alphabet.KVR");
}
