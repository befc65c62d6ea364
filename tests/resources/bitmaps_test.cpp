// The toolbar bitmaps and the program icon: what the toolbar and the desktop are given.
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/resources/resources.h"
#include "resources/bitmaps.h"
#include "resources/icon_art.h"
#include "resources/toolbar_art.h"

namespace {

// Every button of the main window's toolbar.
constexpr int ButtonBitmaps[] = {31, 32, 33, 36, 37, 39, 42, 43, 44, 45, 46, 47, 49, 50};

// The 16 classic VGA colours as 0xRRGGBB, in colour-table order.
constexpr std::uint32_t Vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                   0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                   0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr int FaceIndex = 7;

class BitmapResources : public testing::Test {
 protected:
  static void SetUpTestSuite() { AddBitmapResources(); }

  // Colour-table index of pixel (x, y), y counted from the top.
  static int Index(const TDib& dib, int x, int y) {
    const BYTE pair = dib.ScanLine(dib.Height() - 1 - y)[x / 2];
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
  }
  // The ARGB of pixel (x, y) of a 32-bit DIB, y counted from the top.
  static std::uint32_t Argb(const TDib& dib, int x, int y) {
    const BYTE* p = dib.ScanLine(dib.Height() - 1 - y) + static_cast<std::ptrdiff_t>(4) * x;
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
};

TEST_F(BitmapResources, EveryButtonHasA24By24SixteenColourBitmapInTheVgaColours) {
  for (const int id : ButtonBitmaps) {
    SCOPED_TRACE(id);
    const TDib* dib = TResources::FindBitmap(id);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->Width(), 24);
    EXPECT_EQ(dib->Height(), 24);
    EXPECT_EQ(dib->BitsPixel(), 4);
    EXPECT_EQ(dib->Compression(), DWORD{BI_RGB});
    ASSERT_EQ(dib->NumColors(), 16);
    for (int i = 0; i < 16; ++i) {
      const RGBQUAD c = dib->GetColors()[i];
      EXPECT_EQ(std::uint32_t{c.rgbRed} << 16 | std::uint32_t{c.rgbGreen} << 8 | c.rgbBlue, Vga[i])
          << "colour " << i;
    }
  }
}

TEST_F(BitmapResources, TheTextPicturesAreWholeAndLandTheRightWayUp) {
  for (const TToolbarArt& art : ToolbarArt()) {
    SCOPED_TRACE(art.Name);
    const TDib* dib = TResources::FindBitmap(art.Id);
    ASSERT_NE(dib, nullptr);
    for (int y = 0; y < 24; ++y) {
      const std::string row = art.Rows[static_cast<std::size_t>(y)];
      ASSERT_EQ(row.size(), 24u) << "row " << y;
      for (int x = 0; x < 24; ++x) {
        const auto* key = std::find_if(
            ArtPalette.begin(), ArtPalette.end(),
            [&](const TArtColour& c) { return c.Key == row[static_cast<std::size_t>(x)]; });
        ASSERT_NE(key, ArtPalette.end())
            << "'" << row[static_cast<std::size_t>(x)] << "' at " << x << "," << y;
        ASSERT_EQ(Index(*dib, x, y), key - ArtPalette.begin()) << x << "," << y;
      }
    }
  }
}

TEST_F(BitmapResources, EachButtonDrawsSomethingOfItsOwn) {
  std::set<std::vector<int>> seen;
  for (const int id : ButtonBitmaps) {
    SCOPED_TRACE(id);
    const TDib* dib = TResources::FindBitmap(id);
    ASSERT_NE(dib, nullptr);
    std::vector<int> pixels;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) pixels.push_back(Index(*dib, x, y));
    }
    const auto drawn =
        std::count_if(pixels.begin(), pixels.end(), [](int i) { return i != FaceIndex; });
    EXPECT_GE(drawn, 24 * 24 / 5);
    EXPECT_TRUE(seen.insert(pixels).second) << "looks like another button";
  }
}

TEST_F(BitmapResources, TheProgramIconComesInEveryDesktopSizeWithItsEmptyCellBottomRight) {
  const std::vector<TDib>* images = TResources::FindIconImages(IconProgram);
  ASSERT_NE(images, nullptr);
  ASSERT_EQ(images->size(), ProgramIconSizes.size());
  for (std::size_t i = 0; i < images->size(); ++i) {
    const TDib& dib = (*images)[i];
    const int size = ProgramIconSizes[i];
    SCOPED_TRACE(size);
    ASSERT_EQ(dib.Width(), size);
    ASSERT_EQ(dib.Height(), size);
    ASSERT_EQ(dib.BitsPixel(), 32);
    // Carried as drawn at build time, pixel for pixel.
    const std::vector<std::uint32_t> drawn = DrawProgramIcon(size);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        ASSERT_EQ(Argb(dib, x, y), drawn[static_cast<std::size_t>(y * size + x)]) << x << "," << y;
      }
    }
    EXPECT_EQ(Argb(dib, size / 2, size / 2) >> 24, 0xFFu);
    if (size >= 32) {
      EXPECT_EQ(Argb(dib, 0, 0) >> 24, 0u) << "rounded corner";
    }

    // The empty cell is the darkest cell centre; the eight tiles all differ.
    auto brightness = [](std::uint32_t p) {
      return 30 * ((p >> 16) & 0xFF) + 59 * ((p >> 8) & 0xFF) + 11 * (p & 0xFF);
    };
    std::set<std::uint32_t> tiles;
    std::uint32_t empty = 0;
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 3; ++column) {
        const TIconCellSpan xs = IconCellSpan(size, column);
        const TIconCellSpan ys = IconCellSpan(size, row);
        ASSERT_GE(xs.End - xs.Begin, 2);
        const std::uint32_t centre = Argb(dib, (xs.Begin + xs.End) / 2, (ys.Begin + ys.End) / 2);
        if (row == 2 && column == 2) {
          empty = centre;
        } else {
          tiles.insert(centre);
        }
      }
    }
    EXPECT_EQ(tiles.size(), 8u);
    for (const std::uint32_t tile : tiles) EXPECT_GT(brightness(tile), 2 * brightness(empty));
  }
}

TEST_F(BitmapResources, TheInstalledPngsHoldTheIconsPixels) {
  const std::vector<TDib>* images = TResources::FindIconImages(IconProgram);
  ASSERT_NE(images, nullptr);
  for (const TDib& dib : *images) {
    const int size = dib.Width();
    SCOPED_TRACE(size);
    const QString path = QString(KAVRO_ICON_DIR) + "/kavro-" + QString::number(size) + ".png";
    const QImage png = QImage(path).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(png.size(), QSize(size, size)) << path.toStdString();
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const std::uint32_t want = Argb(dib, x, y);
        // Colour under full transparency is not kept by every writer.
        if ((want >> 24) == 0) {
          ASSERT_EQ(qAlpha(png.pixel(x, y)), 0);
        } else {
          ASSERT_EQ(png.pixel(x, y), want) << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
