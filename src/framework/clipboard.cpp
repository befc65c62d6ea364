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
  // Read as the BMP reader reads a file, with the same checks: a BMP file or a packed DIB
  // with a 12-, 40-, 108- or 124-byte header, kept as a DIB with a 40-byte header.
  const QByteArray bytes = data->data(BmpMime);
  TDib dib;
  if (!dib.ReadBmpData(reinterpret_cast<const BYTE*>(bytes.constData()),
                       static_cast<std::size_t>(bytes.size()))) {
    return std::nullopt;
  }
  return dib;
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
