// The controls a dialog's template makes: buttons, group boxes, edits, lists and statics,
// placed in dialog units and wired to tell the dialog what happens to them.
#include "framework/dialogs/dialog.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "framework/dialogs/dialog_impl.h"
#include "framework/graphics/desktop_text.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/graphics/sys_colors.h"
#include "framework/text/text_units.h"
#include "framework/text/translation.h"
#include "framework/windows/messages.h"

namespace {

constexpr char IdProperty[] = "kavroId";
constexpr char TextProperty[] = "kavroText";
constexpr char SortedProperty[] = "kavroSorted";
constexpr char QuietProperty[] = "kavroQuiet";
constexpr char PathEllipsisProperty[] = "kavroPathEllipsis";
constexpr char ToldProperty[] = "kavroToldRow";  // the selection the dialog last heard of
constexpr int DefaultTabStop = 32;               // dialog units between tab stops nobody set

// text in one line of width pixels. Too wide, it loses the end of its folders to an
// ellipsis so the file name stays whole; a name too wide by itself keeps its end. What
// stands before the path (a label such as "File name: ") never gives way.
QString ElidePath(const QString& text, const QFontMetrics& metrics, int width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  const qsizetype slash = std::max(text.lastIndexOf('/'), text.lastIndexOf('\\'));
  if (slash < 0) return metrics.elidedText(text, Qt::ElideLeft, width);
  qsizetype first = 0;
  while (text[first] != '/' && text[first] != '\\') ++first;
  const QString ellipsis(QChar(0x2026));
  for (qsizetype keep = slash; keep > first; --keep) {
    if (text[keep - 1].isHighSurrogate()) continue;
    QString shown = text.left(keep) + ellipsis + text.mid(slash);
    if (metrics.horizontalAdvance(shown) <= width) return shown;
  }
  const QString label = text.left(first);
  return label + metrics.elidedText(text.mid(first), Qt::ElideLeft,
                                    width - metrics.horizontalAdvance(label));
}

// A static's text as shown: "&" underlines the next character (here it just goes), "&&"
// is one ampersand.
QString WithoutMnemonics(const std::string& text) {
  QString shown;
  const QString source = QString::fromUtf8(text.c_str());
  for (qsizetype i = 0; i < source.size(); ++i) {
    if (source[i] == '&' && i + 1 < source.size()) ++i;
    shown += source[i];
  }
  return shown;
}

// Tells the dialog when a list gains or loses the focus.
class TFocusNotifier : public QObject {
 public:
  TFocusNotifier(QObject* parent, std::function<void(WORD)> notify)
      : QObject(parent), Notify(std::move(notify)) {}

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusIn) Notify(LBN_SETFOCUS);
    if (e->type() == QEvent::FocusOut) Notify(LBN_KILLFOCUS);
    return false;
  }

 private:
  std::function<void(WORD)> Notify;
};

// A group box as the classic dialogs draw it: an etched frame with its title over the top
// edge, and nothing inside, so what the dialog draws there shows.
class TGroupFrame : public QGroupBox {
 public:
  TGroupFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {
    setAttribute(Qt::WA_NoSystemBackground);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics metrics(font());
    const int top = metrics.height() / 2;
    const QRect frame(0, top, width() - 1, height() - top - 1);
    p.setPen(QColor(ToQRgb(ColorShadow())));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(QColor(ToQRgb(ColorHighlight())));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    const QString text = title();
    if (text.isEmpty()) return;
    const QRect label(metrics.averageCharWidth(), 0, metrics.horizontalAdvance(text),
                      metrics.height());
    p.fillRect(label, QColor(ToQRgb(ColorFace())));
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text);
  }
};

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::abs(static_cast<long long>(c)) / 2;
  return static_cast<int>((product >= 0) == (c > 0) ? (product + (c > 0 ? half : -half)) / c
                                                    : (product - (c > 0 ? half : -half)) / c);
}

// --- Controls -----------------------------------------------------------------------------------

QFont DialogFont(const std::string& face, int pointSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const bool classic =
      face.empty() || face == "MS Sans Serif" || face == "MS Shell Dlg" || face == "MS Shell Dlg 2";
  if (!classic) font.setFamily(QString::fromUtf8(face.c_str()));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(
      std::max(1, static_cast<int>(PointsToPixels(pointSize) * DesktopTextScale() + 0.5)));
  return font;
}

TRect ItemPixels(const TDialog& dialog, int x, int y, int w, int h) {
  const TSize units = dialog.GetBaseUnits();
  const TPoint at(MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8));
  return TRect(at, TSize(MulDiv(w, units.cx, 4), MulDiv(h, units.cy, 8)));
}

const TDialogItemResource* TDialog::TDialogImpl::FindItem(int id) const {
  if (Template == nullptr) return nullptr;
  for (const TDialogItemResource& item : Template->Items) {
    if (item.Id == id) return &item;
  }
  return nullptr;
}

QWidget* MakeControl(TDialog& dialog, const TDialogItemResource& item, QWidget* parent,
                     HWND handle) {
  // The dialog's client area vouches for the dialog: once the dialog is destroyed its
  // controls stay quiet, even while Qt is still deleting them.
  QPointer<TWindowWidget> client = dialog.Impl()->Widget;
  const int id = item.Id;
  auto notify = [client, id, handle](WORD code) {
    if (client == nullptr || client->GetOwner() == nullptr) return;
    client->GetOwner()->HandleMessage(WM_COMMAND, MAKEWPARAM(id, code),
                                      reinterpret_cast<LPARAM>(handle));
  };
  const QString text = QString::fromUtf8(Translate(item.Text.c_str()));
  QWidget* control = nullptr;
  switch (item.Class) {
    case TControlClass::Button:
      if ((item.Style & BS_TYPEMASK) == BS_GROUPBOX) {
        control = new TGroupFrame(text, parent);
      } else {
        auto* button = new QPushButton(text, parent);
        button->setDefault((item.Style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
        QObject::connect(button, &QPushButton::clicked, button, [notify] { notify(BN_CLICKED); });
        control = button;
      }
      break;
    case TControlClass::Edit: {
      auto* edit = new QLineEdit(text, parent);
      edit->setFrame((item.Style & WS_BORDER) != 0);
      QObject::connect(edit, &QLineEdit::textChanged, edit, [notify] { notify(EN_CHANGE); });
      control = edit;
      break;
    }
    case TControlClass::ListBox: {
      auto* list = new QListWidget(parent);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setFrameShape((item.Style & WS_BORDER) != 0 ? QFrame::Box : QFrame::NoFrame);
      list->setVerticalScrollBarPolicy((item.Style & WS_VSCROLL) != 0 ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->setProperty(SortedProperty, (item.Style & LBS_SORT) != 0);
      if ((item.Style & LBS_USETABSTOPS) != 0) {
        const int step = MulDiv(DefaultTabStop, dialog.GetBaseUnits().cx, 4);
        list->setItemDelegate(new TTabbedLineDelegate(list, step));
      }
      if ((item.Style & LBS_NOTIFY) != 0) {
        // The news comes once for each new selection, when the line is both current and
        // selected as the dialog reads it: a click makes a line current before selecting it.
        list->setProperty(ToldProperty, -1);
        const auto changed = [list, notify] {
          const QListWidgetItem* current = list->currentItem();
          if (current != nullptr && !current->isSelected() && !list->selectedItems().isEmpty())
            return;
          const int row = current != nullptr && current->isSelected() ? list->currentRow() : -1;
          if (row == list->property(ToldProperty).toInt()) return;
          list->setProperty(ToldProperty, row);
          if (!list->property(QuietProperty).toBool()) notify(LBN_SELCHANGE);
        };
        QObject::connect(list, &QListWidget::currentRowChanged, list, changed);
        QObject::connect(list, &QListWidget::itemSelectionChanged, list, changed);
        QObject::connect(list, &QListWidget::itemDoubleClicked, list,
                         [notify] { notify(LBN_DBLCLK); });
        list->installEventFilter(new TFocusNotifier(list, notify));
      }
      control = list;
      break;
    }
    default: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      const DWORD type = item.Style & SS_TYPEMASK;
      if (type == SS_ICON) {
        if (const TDib* icon = TResources::FindIcon(item.IconId)) {
          label->setPixmap(QPixmap::fromImage(IconToImage(*icon)));
        }
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      } else {
        label->setWordWrap(true);
        label->setAlignment((type == SS_CENTER  ? Qt::AlignHCenter
                             : type == SS_RIGHT ? Qt::AlignRight
                                                : Qt::AlignLeft) |
                            Qt::AlignTop);
        label->setProperty("kavroNoPrefix", (item.Style & SS_NOPREFIX) != 0);
        if ((item.Style & SS_PATHELLIPSIS) != 0) {
          label->setWordWrap(false);
          label->setProperty(PathEllipsisProperty, true);
        }
      }
      control = label;
      break;
    }
  }
  control->setProperty(IdProperty, id);
  const int x = item.X - dialog.DialogImpl().ShiftX;
  control->setGeometry(ToQRect(ItemPixels(dialog, x, item.Y, item.W, item.H)));
  if (qobject_cast<QLabel*>(control) != nullptr) SetControlText(control, item.Text.c_str());
  control->setFocusPolicy((item.Style & WS_TABSTOP) != 0 || item.Class == TControlClass::ListBox ||
                                  item.Class == TControlClass::Edit
                              ? Qt::StrongFocus
                              : control->focusPolicy());
  return control;
}

std::string ControlText(const QWidget* control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text().toStdString();
  if (const auto* button = qobject_cast<const QPushButton*>(control))
    return button->text().toStdString();
  if (const auto* box = qobject_cast<const QGroupBox*>(control)) return box->title().toStdString();
  if (control != nullptr) return control->property(TextProperty).toString().toStdString();
  return {};
}

void SetControlText(QWidget* control, const char* text) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(QString::fromUtf8(text != nullptr ? text : ""));
    return;
  }
  // Only what the player types is not the program's own text.
  const QString value = QString::fromUtf8(text != nullptr ? Translate(text) : "");
  if (auto* button = qobject_cast<QPushButton*>(control)) {
    button->setText(value);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    box->setTitle(value);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setProperty(TextProperty, value);
    if (label->pixmap().isNull()) {
      const QString shown =
          label->property("kavroNoPrefix").toBool() ? value : WithoutMnemonics(value.toStdString());
      label->setText(label->property(PathEllipsisProperty).toBool()
                         ? ElidePath(shown, label->fontMetrics(), label->contentsRect().width())
                         : shown);
    }
  }
}

void SelectListLine(QWidget* control, int index, bool quiet) {
  auto* list = qobject_cast<QListWidget*>(control);
  if (list == nullptr) return;
  list->setProperty(QuietProperty, quiet);
  if (index < 0 || index >= list->count()) {
    list->setCurrentRow(-1);
    list->clearSelection();
  } else {
    list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  }
  list->setProperty(QuietProperty, false);
}

void NameByLabels(TDialog& dialog) {
  const TDialog::TDialogImpl& d = dialog.DialogImpl();
  if (d.Template == nullptr) return;
  std::string label;
  for (const TDialogItemResource& item : d.Template->Items) {
    const auto it = d.Controls.find(item.Id);
    QWidget* control = it != d.Controls.end() ? it->second.data() : nullptr;
    if (item.Class == TControlClass::Static) {
      if ((item.Style & SS_TYPEMASK) == SS_ICON) continue;
      // A label the program fills in names what follows it with what it shows now.
      label = control != nullptr ? ControlText(control) : Translate(item.Text.c_str());
    } else if (item.Class == TControlClass::Button) {
      label.clear();
    } else if (control != nullptr && !label.empty() && control->accessibleName().isEmpty()) {
      control->setAccessibleName(WithoutMnemonics(label).trimmed());
    }
  }
}
