// The file, colour and font dialogs: what the responder is shown and what an answer
// leaves in the data block, the open dialog's panel and its selection notices, and the
// real dialogs answered from the event loop.
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/common_dialogs/color_dialog.h"
#include "framework/common_dialogs/file_dialogs.h"
#include "framework/common_dialogs/font_dialog.h"
#include "framework/dialogs/dialog_impl.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/gui_helpers.h"
#include "framework/resources/resources.h"
#include "framework/windows/messages.h"
#include "framework/windows/window_dc.h"

namespace {

constexpr int PreviewTemplate = 9300;
constexpr char ImageFilter[] =
    "All supported file\0*.JPG;*.BMP\0JPEG file (*.JPG)\0*.JPG\0Bitmap file (*.BMP)\0*.BMP\0";
constexpr char GameFilter[] = "Kavro files (*.KVR)\0*.KVR\0";

void AddPreviewTemplate() {
  TDialogResource panel;
  panel.W = 310;
  panel.H = 119;
  panel.Style = WS_CHILD | WS_VISIBLE;
  panel.Items = {
      {TControlClass::Static, stc32, 4, 4, 204, 112, "", SS_LEFT, 0},
      {TControlClass::Static, 101, 212, 16, 50, 8, "Preview Image", SS_LEFT, 0},
  };
  TResources::AddDialog(PreviewTemplate, panel);
}

// An open dialog with a panel that notes every selection and marks it in the panel.
class TPreviewDialog : public TFileOpenDialog {
 public:
  TPreviewDialog(TData& data) : TFileOpenDialog(nullptr, data, PreviewTemplate, "Open Image") {}
  TResult EvNotify(TParam1, TParam2 p2) {
    const auto* header = reinterpret_cast<const NMHDR*>(p2);
    if (header->code != CDN_SELCHANGE) return DefaultProcessing();
    char path[MAX_PATH];
    if (GetFilePath(path, sizeof path) > 0) Seen.emplace_back(path);
    TClientDC dc(*this);
    const int x = GetClientRect().Width() - 150;
    dc.FillRect(TRect(x, 50, x + 20, 70), TBrush(0x0000FF));
    return 0;
  }
  std::vector<std::string> Seen;
  COLORREF Mark = 0xFFFFFFFF;
  DECLARE_RESPONSE_TABLE(TPreviewDialog);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TPreviewDialog, TFileOpenDialog)
  EV_MESSAGE(WM_NOTIFY, &TPreviewDialog::EvNotify),
END_RESPONSE_TABLE;
// clang-format on

// Runs fn on the next modal dialog of type T; a dialog that fn did not close is
// cancelled, so the test goes on either way.
template <class T, class F>
void OnNextDialog(F fn) {
  WhenModal<T>(std::function<void(T&)>([fn](T& box) {
    fn(box);
    QPointer<T> still = &box;
    QTimer::singleShot(0, [still] {
      if (still != nullptr && still->isVisible()) QMetaObject::invokeMethod(still, "reject");
    });
  }));
}

class CommonDialogTest : public testing::Test {
 protected:
  void SetUp() override { AddPreviewTemplate(); }
  void TearDown() override { Settle(); }
};

// --- File dialogs ----------------------------------------------------------------------------

TEST_F(CommonDialogTest, OpenDialogShowsItsDataToTheResponderAndTakesTheAnswer) {
  TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, ImageFilter,
                              "/pictures", "*");
  TModalRequest seen;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    seen = request;
    return TModalAnswer(IDOK, "/pictures/cat.jpg");
  });
  TFileOpenDialog dialog(nullptr, data, 0, "Open Image");
  EXPECT_EQ(dialog.Execute(), IDOK);
  EXPECT_EQ(seen.Kind, TModalRequest::FileOpen);
  EXPECT_EQ(seen.Caption, "Open Image");
  EXPECT_EQ(seen.Directory, "/pictures");
  EXPECT_EQ(seen.Flags, 0x1804u);
  EXPECT_EQ(seen.FilterIndex, 1);
  using TPairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(seen.Filters, (TPairs{{"All supported file", "*.JPG;*.BMP"},
                                  {"JPEG file (*.JPG)", "*.JPG"},
                                  {"Bitmap file (*.BMP)", "*.BMP"}}));
  EXPECT_STREQ(data.FileName, "/pictures/cat.jpg");
}

TEST_F(CommonDialogTest, CancelAndOverlongPathsLeaveTheBufferAsItWas) {
  TOpenSaveDialog::TData data(0, GameFilter);
  data.SetFileName("old.KVR");
  {
    TScopedModalResponder responder(
        [](const TModalRequest&) { return TModalAnswer(IDCANCEL, "/x.KVR"); });
    TFileOpenDialog dialog(nullptr, data);
    EXPECT_EQ(dialog.Execute(), IDCANCEL);
  }
  EXPECT_STREQ(data.FileName, "old.KVR");
  const std::string tooLong = "/" + std::string(300, 'a') + ".KVR";
  TScopedModalResponder responder([&](const TModalRequest& request) {
    EXPECT_EQ(request.Text, "old.KVR");
    return TModalAnswer(IDOK, tooLong);
  });
  TFileSaveDialog dialog(nullptr, data);
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  EXPECT_NE(data.Error, 0u);
  EXPECT_STREQ(data.FileName, "old.KVR");
}

TEST_F(CommonDialogTest, SaveDialogGivesANameWithoutExtensionTheFiltersOne) {
  TOpenSaveDialog::TData data(OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, GameFilter, nullptr, "*");
  std::string answer = "/games/first";
  TScopedModalResponder responder([&](const TModalRequest& request) {
    EXPECT_EQ(request.Kind, TModalRequest::FileSave);
    return TModalAnswer(IDOK, answer);
  });
  TFileSaveDialog first(nullptr, data, 0, "Save Game");
  EXPECT_EQ(first.Execute(), IDOK);
  EXPECT_STREQ(data.FileName, "/games/first.KVR");
  answer = "/games/second.kvr";
  TFileSaveDialog second(nullptr, data, 0, "Save Game");
  EXPECT_EQ(second.Execute(), IDOK);
  EXPECT_STREQ(data.FileName, "/games/second.kvr");
}

TEST_F(CommonDialogTest, PanelFromTheChildTemplateHearsEverySelectionAndDrawsInItself) {
  TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, ImageFilter);
  TPreviewDialog dialog(data);
  TScopedModalResponder responder([&](const TModalRequest& request) {
    EXPECT_EQ(request.Window, &dialog);
    // The panel is what stands right of the dialog's own controls.
    const TSize units = dialog.GetBaseUnits();
    EXPECT_EQ(dialog.GetClientRect().Width(), (102 * units.cx + 2) / 4);
    EXPECT_EQ(dialog.GetClientRect().Height(), (119 * units.cy + 4) / 8);
    const QWidget* label = dialog.DialogImpl().Controls.at(101);
    EXPECT_EQ(label->geometry().topLeft(), QPoint((4 * units.cx + 2) / 4, (16 * units.cy + 4) / 8));
    TModalAnswer answer(IDCANCEL);
    answer.BrowsePaths = {"/pictures/a.bmp", "/pictures/b.jpg"};
    return answer;
  });
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  EXPECT_EQ(dialog.Seen, (std::vector<std::string>{"/pictures/a.bmp", "/pictures/b.jpg"}));
  EXPECT_EQ(data.FileName[0], '\0');
}

TEST_F(CommonDialogTest, RealOpenDialogMatchesAnyCaseAndReportsAndReturnsTheChoice) {
  const TRealModals real;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString picture = dir.filePath("cat.jpg");
  QFile file(picture);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, ImageFilter, dir.path().toUtf8().constData());
  TPreviewDialog dialog(data);
  QStringList filters;
  OnNextDialog<QFileDialog>([&](QFileDialog& box) {
    filters = box.nameFilters();
    // Once the panel has been painted, a new selection draws on it.
    dialog.UpdateWindow();
    emit box.currentChanged(picture);
    dialog.UpdateWindow();
    const int x = dialog.GetClientRect().Width() - 150;
    dialog.Mark = ShownPixel(dialog, x + 5, 55);
    // Typed into the name field, as the player would.
    auto* name = box.findChild<QLineEdit*>("fileNameEdit");
    if (name != nullptr) name->setText(picture);
    QMetaObject::invokeMethod(&box, "accept");
  });
  EXPECT_EQ(dialog.Execute(), IDOK);
  ASSERT_EQ(filters.size(), 3);
  EXPECT_TRUE(filters[1].endsWith("(*.[jJ][pP][gG])")) << filters[1].toStdString();
  // Selecting the file may tell it again; the first notice is the one sent above.
  ASSERT_FALSE(dialog.Seen.empty());
  EXPECT_EQ(dialog.Seen.front(), picture.toStdString());
  EXPECT_EQ(dialog.Mark, 0x0000FFu);
  EXPECT_EQ(std::string(data.FileName), picture.toStdString());
}

TEST_F(CommonDialogTest, RealOpenDialogShowsItsColumnsInFull) {
  const TRealModals real;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath("a_picture_with_a_long_name.bmp"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(921654, 'B'));
  file.close();
  TOpenSaveDialog::TData data(OFN_FILEMUSTEXIST, ImageFilter, dir.path().toUtf8().constData());
  TPreviewDialog dialog(data);
  std::vector<int> shown, needed;
  int viewport = 0;
  OnNextDialog<QFileDialog>([&](QFileDialog& box) {
    auto* tree = box.findChild<QTreeView*>("treeView");
    if (tree == nullptr) return;
    for (int wait = 0; wait < 100 && tree->model()->rowCount(tree->rootIndex()) == 0; ++wait) {
      QTest::qWait(20);
    }
    QTest::qWait(50);
    const QFontMetrics metrics(tree->font());
    for (int column = 0; column < 4; ++column) {
      shown.push_back(tree->header()->sectionSize(column));
      const QModelIndex cell = tree->model()->index(0, column, tree->rootIndex());
      // The text and the view's margins around it.
      needed.push_back(metrics.horizontalAdvance(cell.data().toString()) +
                       metrics.averageCharWidth());
    }
    viewport = tree->viewport()->width();
    box.reject();
  });
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  ASSERT_EQ(shown.size(), 4u);
  // Name, Size, Type and Date each as wide as what they show, within the view.
  for (std::size_t column = 0; column < 4; ++column) {
    EXPECT_GE(shown[column], needed[column]) << column;
  }
  EXPECT_LE(shown[0] + shown[1] + shown[2] + shown[3], viewport);
}

// --- Colour dialog ------------------------------------------------------------------------------

TEST_F(CommonDialogTest, ColourDialogStartsFromTheColourAndTheCustomTable) {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = static_cast<COLORREF>(i * 0x010101);
  TChooseColorDialog::TData data;
  data.Flags = CC_RGBINIT;
  data.Color = 0x123456;
  data.CustColors = custom;
  TModalRequest seen;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    seen = request;
    return TModalAnswer(IDOK, {}, 0x00ABCDEF);
  });
  TChooseColorDialog dialog(nullptr, data);
  EXPECT_EQ(dialog.Execute(), IDOK);
  EXPECT_EQ(seen.Kind, TModalRequest::ChooseColor);
  EXPECT_EQ(seen.Color, 0x123456u);
  EXPECT_EQ(seen.CustomColors, std::vector<COLORREF>(custom, custom + 16));
  EXPECT_EQ(data.Color, 0xABCDEFu);

  data.Flags = 0;  // without CC_RGBINIT the dialog starts from black
  TChooseColorDialog again(nullptr, data);
  EXPECT_EQ(again.Execute(), IDOK);
  EXPECT_EQ(seen.Color, 0u);
}

TEST_F(CommonDialogTest, RealColourDialogReturnsTheChoiceAndKeepsTheCustomTable) {
  const TRealModals real;
  COLORREF custom[16] = {};
  custom[2] = 0x00FF00;
  TChooseColorDialog::TData data;
  data.Flags = CC_RGBINIT;
  data.Color = 0x0000FF;
  data.CustColors = custom;
  QColor start;
  QColor customShown;
  OnNextDialog<QColorDialog>([&](QColorDialog& box) {
    start = box.currentColor();
    customShown = QColorDialog::customColor(2);
    QColorDialog::setCustomColor(5, QColor(1, 2, 3));
    box.setCurrentColor(QColor(10, 20, 30));
    box.accept();
  });
  TChooseColorDialog dialog(nullptr, data);
  EXPECT_EQ(dialog.Execute(), IDOK);
  EXPECT_EQ(start, QColor(255, 0, 0));
  EXPECT_EQ(customShown, QColor(0, 255, 0));
  EXPECT_EQ(data.Color, RGB(10, 20, 30));
  EXPECT_EQ(custom[5], RGB(1, 2, 3));
  EXPECT_EQ(custom[2], 0x00FF00u);
}

// --- Font dialog ---------------------------------------------------------------------------------

LOGFONT SansFont(LONG height) {
  LOGFONT log{};
  log.lfHeight = height;
  log.lfWeight = FW_BOLD;
  std::strcpy(log.lfFaceName, "DejaVu Sans");
  return log;
}

TEST_F(CommonDialogTest, FontDialogStartsFromTheLogicalFontAndColourAndLeavesTheChoice) {
  TChooseFontDialog::TData data;
  data.Flags = CF_TTONLY | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
  data.LogFont = SansFont(-16);
  data.Color = 0xFF0000;
  TModalRequest seen;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    seen = request;
    TModalAnswer answer(IDOK, {}, 0x0000FF);
    answer.LogFont = SansFont(-32);
    answer.LogFont.lfUnderline = 1;
    return answer;
  });
  TChooseFontDialog dialog(nullptr, data);
  EXPECT_EQ(dialog.Execute(), IDOK);
  EXPECT_EQ(seen.Kind, TModalRequest::ChooseFont);
  EXPECT_EQ(seen.LogFont.lfHeight, -16);
  EXPECT_STREQ(seen.LogFont.lfFaceName, "DejaVu Sans");
  EXPECT_EQ(seen.Color, 0xFF0000u);
  EXPECT_EQ(data.LogFont.lfHeight, -32);
  EXPECT_EQ(data.LogFont.lfUnderline, 1);
  EXPECT_EQ(data.Color, 0x0000FFu);
  EXPECT_EQ(data.PointSize, 240);  // 32 pixels are 24 points
}

TEST_F(CommonDialogTest, RealFontDialogOffersScalableFontsAndTheTextColour) {
  const TRealModals real;
  TChooseFontDialog::TData data;
  data.Flags = CF_TTONLY | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  data.LogFont = SansFont(-16);
  data.Color = 0x808000;  // teal
  bool scalableOnly = false;
  QString startColour;
  std::vector<QColor> ink;  // the sample's text, before and after Red
  OnNextDialog<QFontDialog>([&](QFontDialog& box) {
    scalableOnly = box.testOption(QFontDialog::ScalableFonts);
    QComboBox* colours = nullptr;
    for (QComboBox* combo : box.findChildren<QComboBox*>()) {
      if (combo->findText("Red") >= 0) colours = combo;
    }
    if (colours == nullptr) return;
    startColour = colours->currentText();
    auto sampleColour = [&] {
      for (const QLineEdit* edit : box.findChildren<QLineEdit*>())
        if (qobject_cast<QGroupBox*>(edit->parentWidget()))
          ink.push_back(edit->palette().color(QPalette::Text));
    };
    sampleColour();
    colours->setCurrentIndex(colours->findText("Red"));
    sampleColour();
    QFont font = box.currentFont();
    font.setUnderline(true);
    font.setPointSize(18);
    box.setCurrentFont(font);
    box.accept();
  });
  TChooseFontDialog dialog(nullptr, data);
  EXPECT_EQ(dialog.Execute(), IDOK);
  EXPECT_TRUE(scalableOnly);
  EXPECT_EQ(startColour, QString("Teal"));
  EXPECT_EQ(ink, (std::vector<QColor>{QColor(0, 128, 128), QColor(255, 0, 0)}));
  EXPECT_EQ(data.Color, 0x0000FFu);
  EXPECT_EQ(data.LogFont.lfUnderline, 1);
  EXPECT_EQ(data.LogFont.lfHeight, -24);  // 18 points
  EXPECT_EQ(data.PointSize, 180);
}

TEST_F(CommonDialogTest, RealFontDialogStartsOnTheFaceThatStandsInForAMissingOne) {
  const TRealModals real;
  for (const char* face : {"Arial", "DejaVu Sans"}) {
    TChooseFontDialog::TData data;
    data.Flags = CF_TTONLY | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    data.LogFont = SansFont(-16);
    std::strcpy(data.LogFont.lfFaceName, face);
    QFont start;
    OnNextDialog<QFontDialog>([&](QFontDialog& box) {
      start = box.currentFont();
      box.reject();
    });
    EXPECT_EQ(TChooseFontDialog(nullptr, data).Execute(), IDCANCEL);
    // The face the text is drawn in, bold as asked.
    EXPECT_EQ(start.family().toStdString(), QFontInfo(QFont(face)).family().toStdString());
    EXPECT_EQ(start.weight(), QFont::Bold) << face;
  }
}

}  // namespace
