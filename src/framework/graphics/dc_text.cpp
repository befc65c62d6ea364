// Text drawn and measured in a device context's font and colours.
#include "framework/graphics/dc.h"

#include <QFontMetrics>

#include <cstring>

#include "framework/graphics/dc_impl.h"
#include "framework/graphics/qt_bridge.h"

namespace {

QFont CurrentFont(const TDC::TImpl& d) {
  if (d.Font != nullptr) return d.Font->Impl().Get();
  // The system font: rarely drawn with, so it is made when needed.
  LOGFONT log{};
  log.lfHeight = 16;
  log.lfWeight = FW_BOLD;
  return FontFromLogFont(log);
}

}  // namespace

bool TDC::TextOut(int x, int y, const char* text, int count) {
  if (text == nullptr) return false;
  QPainter* p = Pimpl->Begin();
  if (p == nullptr) return false;
  const QString s = QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : count);
  const QFont font = CurrentFont(*Pimpl);
  const QFontMetrics metrics(font);
  const QRect cell(x, y, metrics.horizontalAdvance(s), metrics.height());
  if (Pimpl->BkMode == OPAQUE) {
    Fill(*Pimpl, cell, Pimpl->BkColor);
    p = Pimpl->Begin();
  }
  p->setFont(font);
  p->setPen(QColor(ToQRgb(Pimpl->TextColor)));
  p->drawText(QPoint(x, y + metrics.ascent()), s);
  // Italic and antialiased glyphs may reach a little past their cell.
  Pimpl->Touch(cell.adjusted(-2, -1, 2 + metrics.height() / 4, 1));
  return true;
}

TSize AverageCharSize(const QFont& font) {
  // Bars and dialogs ask again for the same few fonts at every layout, and measuring means
  // shaping the alphabet: remember the answers.
  static std::vector<std::pair<QFont, TSize>> known;
  const auto hit = std::find_if(known.begin(), known.end(),
                                [&font](const auto& entry) { return entry.first == font; });
  if (hit != known.end()) return hit->second;
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const TSize size((letters / 26 + 1) / 2, metrics.height());
  known.emplace_back(font, size);
  return size;
}

TSize TDC::GetAverageCharSize() const {
  return AverageCharSize(CurrentFont(*Pimpl));
}

int TDC::DrawText(const char* text, int count, const TRect& rect, UINT format) {
  if (text == nullptr) return 0;
  QPainter* p = Pimpl->Begin();
  if (p == nullptr) return 0;
  const QString s = QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : count);
  int flags = Qt::TextSingleLine;
  flags |= (format & DT_NOPREFIX) != 0 ? 0 : Qt::TextShowMnemonic;
  if ((format & DT_CENTER) != 0) {
    flags |= Qt::AlignHCenter;
  } else if ((format & DT_RIGHT) != 0) {
    flags |= Qt::AlignRight;
  } else {
    flags |= Qt::AlignLeft;
  }
  const bool single = (format & DT_SINGLELINE) != 0;
  if (single && (format & DT_VCENTER) != 0) {
    flags |= Qt::AlignVCenter;
  } else if (single && (format & DT_BOTTOM) != 0) {
    flags |= Qt::AlignBottom;
  } else {
    flags |= Qt::AlignTop;
  }
  const QRect box = ToQRect(rect);
  const QFont font = CurrentFont(*Pimpl);
  p->save();
  if ((format & DT_NOCLIP) == 0) p->setClipRect(box, Qt::IntersectClip);
  p->setFont(font);
  const QRect cell = p->boundingRect(box, flags, s);
  if (Pimpl->BkMode == OPAQUE) p->fillRect(cell, QColor(ToQRgb(Pimpl->BkColor)));
  p->setPen(QColor(ToQRgb(Pimpl->TextColor)));
  p->drawText(box, flags, s);
  p->restore();
  Pimpl->Touch((format & DT_NOCLIP) != 0 ? cell.adjusted(-2, -1, 2, 1) : box);
  return cell.height();
}

TSize TDC::GetTextExtent(const char* text, int count) const {
  if (text == nullptr) return TSize();
  const QString s = QString::fromUtf8(text, count < 0 ? qsizetype(std::strlen(text)) : count);
  const QFontMetrics metrics(CurrentFont(*Pimpl));
  return TSize(metrics.horizontalAdvance(s), metrics.height());
}
