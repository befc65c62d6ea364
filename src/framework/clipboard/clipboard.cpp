// The clipboard over QClipboard: pictures in, pictures and BMP data out.
#include "framework/clipboard/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

#include "framework/graphics/qt_bridge.h"

namespace {

constexpr char BmpMime[] = "image/bmp";

// The clipboard object that has the clipboard open, if any.
const TClipboard* Holder = nullptr;

const QMimeData* Offered() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard != nullptr ? clipboard->mimeData() : nullptr;
}

// Qt's image reader refuses a picture that decodes to more than its allocation limit
// (128 MB, about 32 megapixels); a pasted picture may be as large as a bitmap (1 GiB).
constexpr int LargestPictureMegabytes = 1024;

// A reader for the clipboard's bytes in one picture format.
struct TOfferedPicture {
  explicit TOfferedPicture(QByteArray data) : Bytes(std::move(data)), Buffer(&Bytes) {
    QImageReader::setAllocationLimit(LargestPictureMegabytes);
    Buffer.open(QIODevice::ReadOnly);
    Reader.setDevice(&Buffer);
  }
  QByteArray Bytes;
  QBuffer Buffer;
  QImageReader Reader;
};

// The first format whose bytes start as a picture Qt reads, found from its header alone:
// the enablers ask often, and a picture too large for the memory left still offers
// itself, to fail with a message when it is pasted.
std::unique_ptr<TOfferedPicture> FirstReadablePicture(const QMimeData& data) {
  for (const QString& format : data.formats()) {
    if (!format.startsWith("image/")) continue;
    auto picture = std::make_unique<TOfferedPicture>(data.data(format));
    if (picture->Reader.canRead() && picture->Reader.size().isValid()) return picture;
  }
  return nullptr;
}

// A picture handed over within the program rather than as bytes.
QImage InProcessImage(const QMimeData& data) {
  return data.hasImage() ? qvariant_cast<QImage>(data.imageData()) : QImage();
}

bool OffersPicture(const QMimeData& data) {
  return FirstReadablePicture(data) != nullptr || !InProcessImage(data).isNull();
}

// The first picture the clipboard offers, in whatever format it offers it; null when none
// decodes, or there is not the memory for it.
QImage OfferedImage(const QMimeData& data) {
  if (const auto picture = FirstReadablePicture(data)) return picture->Reader.read();
  return InProcessImage(data);
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

// A Wayland compositor offers the clipboard only to the program with the keyboard, and
// gives the keyboard back to the frame some time after a menu's pop-up has gone (KWin):
// a paste chosen from the menu may find nothing offered, or an offer withdrawn while it is
// read. The open clipboard then asks for the keyboard and waits for the offer to come back,
// a second and a half at most; whether it came.
bool AwaitNewOffer() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr || QGuiApplication::platformName() != QLatin1String("wayland")) {
    return false;
  }
  if (QWindow* window = QGuiApplication::focusWindow()) window->requestActivate();
  QEventLoop loop;
  bool offered = false;
  QTimer::singleShot(1500, &loop, &QEventLoop::quit);
  QObject::connect(clipboard, &QClipboard::dataChanged, &loop, [&] {
    offered = true;
    loop.quit();
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  return offered;
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
  if (const QMimeData* data = Offered(); data == nullptr || data->formats().isEmpty()) {
    AwaitNewOffer();
  }
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
      if (answer(offers.Bitmap, [](const QMimeData& data) { return OffersPicture(data); })) {
        return true;
      }
      // Asked while pasting: the offer may be on its way back.
      return IsOpen() && AwaitNewOffer() &&
             answer(offers.Bitmap, [](const QMimeData& data) { return OffersPicture(data); });
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
  QImage image = OfferedImage(*data);
  if (image.isNull() && AwaitNewOffer() && (data = Offered()) != nullptr) {
    image = OfferedImage(*data);
  }
  if (image.isNull()) return nullptr;
  const bool monochrome = image.depth() == 1;
  image = std::move(image).convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return nullptr;
  // Made small and then given the picture: a 50-megapixel paste needs no blank copy.
  auto bitmap = std::make_unique<TBitmap>(1, 1, 1, monochrome ? 1 : 32);
  bitmap->Impl().Image = std::move(image);
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
  // A Wayland compositor may keep another program's selection all the same (KWin does when
  // the program held none of its own): the picture is then still offered, and Paste stays
  // enabled for it. An offer of nothing would replace it only where the compositor sees the
  // program holding the keyboard, and one it ignored Qt would go on reading as the
  // clipboard's content, losing every later paste.
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
