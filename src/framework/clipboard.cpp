// The clipboard over QClipboard: pictures in, pictures and BMP data out.
#include "framework/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPointer>

#include <cstddef>
#include <cstring>

#include "framework/qt_bridge.h"

namespace {

constexpr char BmpMime[] = "image/bmp";

// The clipboard object that has the clipboard open, if any.
const TClipboard* Holder = nullptr;

const QMimeData* Offered() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard != nullptr ? clipboard->mimeData() : nullptr;
}

// The first picture the clipboard offers, in whatever format it offers it.
QImage OfferedImage(const QMimeData& data) {
  if (data.hasImage()) {
    QImage image = qvariant_cast<QImage>(data.imageData());
    if (!image.isNull()) return image;
  }
  for (const QString& format : data.formats()) {
    if (!format.startsWith("image/")) continue;
    QImage image = QImage::fromData(data.data(format));
    if (!image.isNull()) return image;
  }
  return QImage();
}

// What the clipboard offers, learnt once for each content it holds: asking costs round
// trips to the display server (and for a picture, decoding it), and the commands' enablers
// ask after every batch of events. Qt tells of every change, ours included.
struct TOffers {
  std::optional<bool> Bitmap;
  std::optional<bool> Dib;
  std::optional<bool> Text;
};

TOffers& Offers() {
  static TOffers offers;
  static QPointer<QClipboard> watched;
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard != watched) {
    offers = {};
    watched = clipboard;
    if (clipboard != nullptr) {
      QObject::connect(clipboard, &QClipboard::dataChanged, [] { offers = {}; });
    }
  }
  return offers;
}

DWORD ReadDword(const BYTE* p) {
  DWORD v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// A BMP file or a packed DIB (header, masks, colours, rows) as a bottom-up TDib.
std::optional<TDib> DibFromBmp(const QByteArray& bytes) {
  const auto* p = reinterpret_cast<const BYTE*>(bytes.constData());
  const std::size_t n = static_cast<std::size_t>(bytes.size());
  std::size_t base = 0;
  std::optional<std::size_t> bitsAt;
  if (n >= sizeof(BITMAPFILEHEADER) && p[0] == 'B' && p[1] == 'M') {
    base = sizeof(BITMAPFILEHEADER);
    bitsAt = ReadDword(p + offsetof(BITMAPFILEHEADER, bfOffBits));
  }
  if (n < base + 4) return std::nullopt;
  const DWORD headerSize = ReadDword(p + base);
  BITMAPINFOHEADER header{};
  bool core = false;
  if (headerSize == sizeof(BITMAPCOREHEADER) && n >= base + headerSize) {
    BITMAPCOREHEADER c;
    std::memcpy(&c, p + base, sizeof c);
    header.biSize = sizeof header;
    header.biWidth = c.bcWidth;
    header.biHeight = c.bcHeight;
    header.biPlanes = c.bcPlanes;
    header.biBitCount = c.bcBitCount;
    header.biCompression = BI_RGB;
    core = true;
  } else if (headerSize >= sizeof header && n >= base + headerSize) {
    std::memcpy(&header, p + base, sizeof header);
  } else {
    return std::nullopt;
  }
  const bool topDown = header.biHeight < 0;
  if (topDown) {
    if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) return std::nullopt;
    header.biHeight = -header.biHeight;
  }
  TDib dib;
  if (!dib.CreateFromHeader(header)) return std::nullopt;
  std::size_t at = base + headerSize;
  if (DWORD* masks = dib.GetMasks()) {
    // After a 40-byte header, or inside a longer one at the same place.
    const std::size_t from = base + sizeof header;
    if (n < from + 3 * sizeof(DWORD)) return std::nullopt;
    std::memcpy(masks, p + from, 3 * sizeof(DWORD));
    if (headerSize == sizeof header) at += 3 * sizeof(DWORD);
  }
  if (RGBQUAD* colours = dib.GetColors()) {
    const std::size_t entry = core ? 3 : 4;
    const std::size_t count = static_cast<std::size_t>(dib.NumColors());
    if (n < at + entry * count) return std::nullopt;
    for (std::size_t i = 0; i < count; ++i) {
      const BYTE* c = p + at + i * entry;
      colours[i] = RGBQUAD{c[0], c[1], c[2], 0};
    }
    at += entry * count;
  }
  if (bitsAt) at = *bitsAt;
  const std::size_t size = dib.SizeImage();
  if (at > n || n - at < size) return std::nullopt;
  if (!topDown) {
    std::memcpy(dib.GetBits(), p + at, size);
    return dib;
  }
  const std::size_t stride = dib.BytesPerLine();
  for (int y = 0; y < dib.Height(); ++y) {
    std::memcpy(dib.ScanLine(dib.Height() - 1 - y), p + at + static_cast<std::size_t>(y) * stride,
                stride);
  }
  return dib;
}

}  // namespace

TClipboard::TClipboard(const TWindow& owner) {
  OpenClipboard(&owner);
}

TClipboard::~TClipboard() {
  if (Holder == this) Holder = nullptr;
}

TClipboard& TClipboard::GetClipboard() {
  static TClipboard clipboard;
  return clipboard;
}

bool TClipboard::OpenClipboard(const TWindow*) {
  if (Holder != nullptr && Holder != this) return false;
  Holder = this;
  return true;
}

bool TClipboard::CloseClipboard() {
  if (Holder != this) return false;
  Holder = nullptr;
  return true;
}

bool TClipboard::IsOpen() const {
  return Holder == this;
}

bool TClipboard::IsClipboardFormatAvailable(UINT format) const {
  const auto answer = [](std::optional<bool>& known, auto ask) {
    if (!known.has_value()) {
      const QMimeData* data = Offered();
      if (data == nullptr) return false;
      known = ask(*data);
    }
    return *known;
  };
  TOffers& offers = Offers();
  switch (format) {
    case CF_BITMAP:
      return answer(offers.Bitmap,
                    [](const QMimeData& data) { return !OfferedImage(data).isNull(); });
    case CF_DIB:
      return answer(offers.Dib, [](const QMimeData& data) { return data.hasFormat(BmpMime); });
    case CF_TEXT:
      return answer(offers.Text, [](const QMimeData& data) { return data.hasText(); });
    default:
      return false;
  }
}

std::unique_ptr<TBitmap> TClipboard::GetBitmap() const {
  const QMimeData* data = IsOpen() ? Offered() : nullptr;
  if (data == nullptr) return nullptr;
  const QImage image = OfferedImage(*data);
  if (image.isNull()) return nullptr;
  const bool monochrome = image.depth() == 1;
  auto bitmap = std::make_unique<TBitmap>(image.width(), image.height(), 1, monochrome ? 1 : 32);
  bitmap->Impl().Image = image.convertToFormat(QImage::Format_RGB32);
  return bitmap;
}

std::optional<TDib> TClipboard::GetDib() const {
  const QMimeData* data = IsOpen() ? Offered() : nullptr;
  if (data == nullptr || !data->hasFormat(BmpMime)) return std::nullopt;
  return DibFromBmp(data->data(BmpMime));
}

std::unique_ptr<TPalette> TClipboard::GetPalette() const {
  return nullptr;
}

bool TClipboard::EmptyClipboard() {
  if (!IsOpen() || QGuiApplication::clipboard() == nullptr) return false;
  QGuiApplication::clipboard()->clear();
  return true;
}

bool TClipboard::SetBitmap(const TBitmap& bitmap) {
  if (!IsOpen() || QGuiApplication::clipboard() == nullptr) return false;
  const QImage& image = bitmap.Impl().Image;
  QGuiApplication::clipboard()->setImage(
      bitmap.IsMonochrome() ? image.convertToFormat(QImage::Format_Mono) : image);
  return true;
}

bool TClipboard::SetDib(const TDib& dib) {
  if (!IsOpen() || !dib.IsOK() || QGuiApplication::clipboard() == nullptr) return false;
  const BITMAPINFOHEADER& header = *dib.GetInfoHeader();
  const std::size_t tables =
      static_cast<std::size_t>(dib.GetBits() - reinterpret_cast<const BYTE*>(&header));
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfSize = static_cast<DWORD>(sizeof file + dib.BlockSize());
  file.bfOffBits = static_cast<DWORD>(sizeof file + tables);
  QByteArray bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&header), static_cast<qsizetype>(dib.BlockSize()));
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setData(BmpMime, bytes);
  QGuiApplication::clipboard()->setMimeData(data);
  return true;
}
