// Helpers for the picture and saved-game tests: test data, scratch files, the image tools
// that make and check test pictures, and a record of the message boxes shown.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "framework/dib.h"
#include "framework/responder.h"
#include "platform/winconst.h"
#include "test_data.h"

namespace media_test {

// A file or folder of the BMP Suite, e.g. "g/pal8.bmp" or "q".
inline QString BmpSuite(const QString& relative) {
  return TestDataPath(QStringLiteral("bmpsuite/") + relative);
}

inline std::string Local(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline bool WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
  return WriteBytes(path, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                     static_cast<qsizetype>(bytes.size())));
}

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a tool; its standard output, or none when it failed. The libjpeg tools end with 2
// after a warning, which warningExit accepts.
inline std::optional<QByteArray> RunTool(const QString& program, const QStringList& arguments,
                                         int warningExit = 0) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
      (process.exitCode() != 0 && process.exitCode() != warningExit)) {
    ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString()
                  << " failed: " << process.readAllStandardError().toStdString();
    return std::nullopt;
  }
  return process.readAllStandardOutput();
}

// A PPM (P6) or PGM (P5) picture with 8-bit samples.
struct TPnm {
  int Width = 0;
  int Height = 0;
  int Channels = 0;
  QByteArray Samples;

  const std::uint8_t* At(int x, int y) const {
    return reinterpret_cast<const std::uint8_t*>(Samples.constData()) +
           (static_cast<std::size_t>(y) * Width + x) * Channels;
  }
};

inline std::optional<TPnm> ParsePnm(const QByteArray& data) {
  TPnm pnm;
  qsizetype at = 0;
  auto token = [&]() -> QByteArray {
    while (at < data.size()) {
      if (data[at] == '#') {
        while (at < data.size() && data[at] != '\n') ++at;
      } else if (QChar::isSpace(data[at])) {
        ++at;
      } else {
        break;
      }
    }
    const qsizetype start = at;
    while (at < data.size() && !QChar::isSpace(data[at])) ++at;
    return data.mid(start, at - start);
  };
  const QByteArray magic = token();
  if (magic == "P6") {
    pnm.Channels = 3;
  } else if (magic == "P5") {
    pnm.Channels = 1;
  } else {
    return std::nullopt;
  }
  pnm.Width = token().toInt();
  pnm.Height = token().toInt();
  if (token().toInt() != 255 || pnm.Width <= 0 || pnm.Height <= 0) return std::nullopt;
  ++at;  // the single white-space byte before the samples
  const qsizetype size = qsizetype{pnm.Width} * pnm.Height * pnm.Channels;
  if (data.size() - at < size) return std::nullopt;
  pnm.Samples = data.mid(at, size);
  return pnm;
}

inline QByteArray MakePpm(int width, int height, const std::vector<std::uint8_t>& rgb) {
  QByteArray out = QStringLiteral("P6\n%1 %2\n255\n").arg(width).arg(height).toLatin1();
  out.append(reinterpret_cast<const char*>(rgb.data()), static_cast<qsizetype>(rgb.size()));
  return out;
}

// A picture with detail everywhere: gradients, so that a row or a channel in the wrong
// place shows.
inline std::vector<std::uint8_t> TestPattern(int width, int height) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
      p[0] = static_cast<std::uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
      p[1] = static_cast<std::uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
      p[2] = static_cast<std::uint8_t>((x + y) * 7);
    }
  }
  return rgb;
}

// Red, green and blue of pixel (x, y), y from the top, of a 24-bit DIB.
struct TRgb {
  int Red = 0;
  int Green = 0;
  int Blue = 0;
  bool operator==(const TRgb&) const = default;
};

inline TRgb DibPixel24(const TDib& dib, int x, int y) {
  const BYTE* row = dib.ScanLine(dib.Height() - 1 - y);
  if (row == nullptr || x < 0 || x >= dib.Width()) return {-1, -1, -1};
  return {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
}

inline std::ostream& operator<<(std::ostream& out, const TRgb& c) {
  return out << "(" << c.Red << ", " << c.Green << ", " << c.Blue << ")";
}

// An APP1 Exif segment, marker and length included, as a phone writes one: IFD0 with a few
// entries around an Orientation entry of the given value (SHORT, count 1), in either
// byte order.
inline QByteArray ExifSegment(int orientation, bool bigEndian) {
  QByteArray tiff;
  auto put = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      const int shift = 8 * (bigEndian ? bytes - 1 - i : i);
      tiff.append(static_cast<char>((value >> shift) & 0xFF));
    }
  };
  tiff.append(bigEndian ? "MM" : "II");
  put(42, 2);
  put(8, 4);
  put(3, 2);  // entries: resolution unit, orientation, a pointer to more
  for (const auto& [tag, type, value] :
       {std::tuple{0x0128u, 3u, 2u}, std::tuple{0x0112u, 3u, static_cast<unsigned>(orientation)},
        std::tuple{0x8769u, 4u, 50u}}) {
    put(tag, 2);
    put(type, 2);
    put(1, 4);
    put(value, type == 3 ? 2 : 4);
    if (type == 3) put(0, 2);
  }
  put(0, 4);  // no IFD1
  const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
  QByteArray segment("\xFF\xE1", 2);
  segment.append(static_cast<char>((body.size() + 2) >> 8));
  segment.append(static_cast<char>((body.size() + 2) & 0xFF));
  return segment + body;
}

// A JPEG file with a segment put in right after its start marker.
inline QByteArray WithSegment(const QByteArray& jpeg, const QByteArray& segment) {
  return jpeg.left(2) + segment + jpeg.mid(2);
}

// jpegtran's switches that turn the pixels as the orientation value asks.
inline QStringList TurningSwitches(int orientation) {
  static const char* const turns[] = {
      "",           "-flip horizontal", "-rotate 180", "-flip vertical",
      "-transpose", "-rotate 90",       "-transverse", "-rotate 270"};
  return QString::fromLatin1(turns[orientation - 1]).split(' ', Qt::SkipEmptyParts);
}

// djpeg's pixels of a JPEG file turned by jpegtran as the orientation asks, block by block,
// without loss; none when a tool failed.
inline std::optional<TPnm> TurnedByTools(const QString& jpeg, int orientation) {
  const auto turned =
      RunTool(QStringLiteral("jpegtran"), QStringList{QStringLiteral("-perfect")} +
                                              TurningSwitches(orientation) + QStringList{jpeg});
  if (!turned) return std::nullopt;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("turned.jpg"));
  if (!WriteBytes(path, *turned)) return std::nullopt;
  const auto decoded = RunTool(QStringLiteral("djpeg"), {path});
  if (!decoded) return std::nullopt;
  return ParsePnm(*decoded);
}

// Pixels further than 2 levels in any channel from the tools' (the first few reported):
// turning coefficients and turning pixels round differently in the inverse DCT.
template <typename TPixelOf>
int FarPixels(int width, int height, const TPnm& expected, TPixelOf pixelOf) {
  if (width != expected.Width || height != expected.Height) {
    ADD_FAILURE() << "size " << width << " x " << height << ", expected " << expected.Width << " x "
                  << expected.Height;
    return -1;
  }
  int far = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = expected.At(x, y);
      const TRgb want{p[0], p[1], p[2]};
      const TRgb got = pixelOf(x, y);
      const bool near = std::abs(got.Red - want.Red) <= 2 &&
                        std::abs(got.Green - want.Green) <= 2 &&
                        std::abs(got.Blue - want.Blue) <= 2;
      if (!near && ++far <= 3) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << got << ", expected " << want;
      }
    }
  }
  return far;
}

// Answers every modal request with OK (or the given button) and keeps what was asked.
class TModalLog {
 public:
  explicit TModalLog(int button = IDOK)
      : Scope([this, button](const TModalRequest& request) {
          Requests.push_back(request);
          TModalAnswer answer;
          answer.Button = button;
          return answer;
        }) {}

  std::vector<TModalRequest> Requests;

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const TModalRequest& r : Requests) texts.push_back(r.Text);
    return texts;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const TModalRequest& r : Requests) captions.push_back(r.Caption);
    return captions;
  }

 private:
  TScopedModalResponder Scope;
};

}  // namespace media_test
