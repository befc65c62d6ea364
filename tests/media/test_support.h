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
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/dib.h"
#include "framework/windows/responder.h"
#include "platform/winconst.h"
#include "test_data.h"

// The address sanitizer reserves far more address space than any limit a test sets.
#if defined(__SANITIZE_ADDRESS__)
#define KAVRO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KAVRO_ADDRESS_SANITIZER 1
#endif
#endif

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

// An APP1 Exif segment as a phone writes one, marker and length included: IFD0 holding an
// Orientation entry (SHORT, count 1) after another entry, in either byte order.
inline QByteArray ExifSegment(int orientation, bool bigEndian) {
  QByteArray segment("\xFF\xE1\0\0Exif\0\0", 10);
  auto put = [&](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
      segment.append(static_cast<char>(value >> (8 * (bigEndian ? bytes - 1 - i : i))));
    }
  };
  segment.append(bigEndian ? "MM" : "II");
  for (const auto& [value, bytes] : {std::pair{42, 2}, std::pair{8, 4}, std::pair{2, 2}}) {
    put(value, bytes);
  }
  for (const auto& [tag, value] : {std::pair{0x0128, 2}, std::pair{0x0112, orientation}}) {
    for (const auto& [field, bytes] : {std::pair{tag, 2}, std::pair{3, 2}, std::pair{1, 4},
                                       std::pair{value, 2}, std::pair{0, 2}}) {
      put(static_cast<std::uint32_t>(field), bytes);
    }
  }
  put(0, 4);  // no further IFD
  segment[3] = static_cast<char>(segment.size() - 2);
  return segment;
}

// A JPEG file with a segment put in right after its start marker.
inline QByteArray WithSegment(const QByteArray& jpeg, const QByteArray& segment) {
  return jpeg.left(2) + segment + jpeg.mid(2);
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
