// The real program on a German desktop (LANG=de_DE.UTF-8): its menus, status bar, a dialog
// and a message box read back by OCR in German and whole, its settings file as in English.
#include <QImage>
#include <QProcess>
#include <QRegularExpression>

#include "blackbox_fixture.h"

namespace {

QString Folded(QString text) {
  return text.remove(QRegularExpression("[\\s.\u2026]"))
      .replace(QChar(0x131), 'i')
      .replace('0', 'o')
      .toCaseFolded();
}

// What tesseract reads in part of an image, in German, folded and without white space
// (OCR splits and joins words at will, and mistakes a letter's case, an i's dot, dots or an
// O for a 0); empty when it cannot read. Small screen text on grey is read far better four
// times larger; read once in grey and once in black and white, one or the other reads
// each word.
QString Read(const QImage& image, const QRect& part, const QString& dir) {
  const QString cut = dir + "/cut.png";
  const QString larger = dir + "/ocr.png";
  if (!image.copy(part).save(cut)) return {};
  QString read;
  for (const QStringList& look : {QStringList{}, QStringList{"-threshold", "45%"}}) {
    if (QProcess::execute("convert", QStringList{cut, "-colorspace", "Gray", "-resize", "400%"} +
                                         look + QStringList{larger}) != 0) {
      return {};
    }
    QProcess ocr;
    ocr.start("tesseract", {larger, "stdout", "-l", "deu", "--psm", "11"});
    if (!ocr.waitForFinished(30000) || ocr.exitCode() != 0) return {};
    read += Folded(QString::fromUtf8(ocr.readAllStandardOutput())) + "|";
  }
  return read;
}

void ExpectWords(const QString& read, const QStringList& words, const char* where) {
  for (const QString& word : words) {
    EXPECT_TRUE(read.contains(Folded(word)))
        << where << ": no \"" << word.toStdString() << "\" in \"" << read.toStdString() << "\"";
  }
}

// The screen once the region is drawn. xwd shows a pop-up menu's window (it has an alpha
// channel) black; import shows what the player sees.
QImage Drawn(TDesktop& desktop, const QRect& region, const QString& dir) {
  const QString png = dir + "/screen.png";
  QImage shot;
  for (int tries = 0; tries < 20; ++tries, desktop.Pause(150)) {
    desktop.Output("import", {"-window", "root", png});
    shot = QImage(png);
    const QImage part = shot.copy(region);
    int dark = 0;
    for (int y = 0; y < part.height(); y += 4) {
      for (int x = 0; x < part.width(); x += 4) dark += qGray(part.pixel(x, y)) < 16 ? 1 : 0;
    }
    if (!shot.isNull() && dark * 16 * 50 < part.width() * part.height()) break;
  }
  return shot;
}

}  // namespace

TEST_F(BlackBox, InGermanMenusStatusBarDialogAndMessageBoxReadWholeAndSettingsStayAsTheyAre) {
  if (QProcess::execute("tesseract", {"--version"}) != 0) {
    RequireDesktop("tesseract (tesseract-ocr, tesseract-ocr-deu) is needed to read the screen");
    return;
  }
  Desktop.SetLanguage("de_DE.UTF-8");
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();

  // The Game menu open: the menu bar and its items (the highlighted first one aside).
  Desktop.Key("alt+s");
  const QRect menuArea(0, 0, 520, 420);
  ExpectWords(Read(Drawn(Desktop, menuArea, Dir.path()), menuArea, Dir.path()),
              {"Teile", "Typ", "Ansicht", "Optionen", "Hilfe", "Bild öffnen...", "Strg+O",
               "Spiel laden...", "Bestzeiten...", "Beenden", "Alt+F4"},
              "Game menu");
  Desktop.Key("Escape");
  Desktop.Key("Escape");
  Desktop.Pause(300);
  const QImage shot = Desktop.Screenshot();
  ExpectWords(
      Read(shot, QRect(shot.width() / 2, shot.height() - 24, shot.width() / 2, 24), Dir.path()),
      {"Puzzleteile: 3 x 3", "Falsche Teile: 0"}, "status bar");

  // Custom pieces: the dialog's caption, labels and buttons whole.
  Desktop.Key("alt+t");
  Desktop.Key("z");
  ASSERT_TRUE(Desktop.WaitForWindow("Anzahl der Teile"));
  Desktop.Pause(300);
  const QString dialog = Desktop.Windows("Anzahl der Teile").value(0);
  const QImage pieces = Desktop.WindowShot(dialog);
  ExpectWords(Read(pieces, pieces.rect(), Dir.path()),
              {"Zeile:", "Spalte:", "Vorschau", "OK", "Abbrechen"}, "pieces dialog");
  Desktop.Key("Escape");
  ASSERT_TRUE(Desktop.WaitForGone("Anzahl der Teile"));

  // The exit question and Qt's own buttons, then Yes.
  Desktop.Key("alt+s");
  Desktop.Key("e");
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2));
  Desktop.Pause(300);
  const QImage question = Desktop.WindowShot(Desktop.Windows("Kavro").value(1));
  ExpectWords(Read(question, question.rect(), Dir.path()),
              {"Wollen Sie Kavro wirklich beenden?", "Ja", "Nein"}, "exit question");
  Desktop.Key("Return");
  const std::optional<int> code = Desktop.WaitForExit();
  ASSERT_TRUE(code.has_value()) << "the program did not end";
  EXPECT_EQ(*code, 0) << Desktop.ProgramOutput().toStdString();

  // What the program writes reads the same in every language.
  const std::string ini = ReadFile(Settings());
  for (const char* line : {"[KAVRO]", "PIECESX=3", "PIECESY=3", "TYPE=1", "GAME=1"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  }
}
