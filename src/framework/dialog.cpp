// Dialogs from templates: fonts and dialog units, the controls, modal execution.
#include "framework/dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cstring>
#include <functional>

#include "framework/dialog_impl.h"
#include "framework/messages.h"
#include "framework/qt_bridge.h"
#include "framework/sys_colors.h"
#include "framework/text_room.h"
#include "framework/text_units.h"
#include "framework/translation.h"

namespace {

constexpr char IdProperty[] = "kavroId";
constexpr char TextProperty[] = "kavroText";
constexpr char SortedProperty[] = "kavroSorted";
constexpr char QuietProperty[] = "kavroQuiet";
constexpr char PathEllipsisProperty[] = "kavroPathEllipsis";
constexpr char ToldProperty[] = "kavroToldRow";  // the selection the dialog last heard of
constexpr int DefaultTabStop = 32;               // dialog units between tab stops nobody set
constexpr int MaxResponderRounds = 32;

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

// a * b / c rounded half away from zero, as Windows scales dialog units.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::abs(static_cast<long long>(c)) / 2;
  return static_cast<int>((product >= 0) == (c > 0) ? (product + (c > 0 ? half : -half)) / c
                                                    : (product - (c > 0 ? half : -half)) / c);
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
    p.setPen(QColor(ToQRgb(ColorShadow)));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(QColor(ToQRgb(ColorHighlight)));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    const QString text = title();
    if (text.isEmpty()) return;
    const QRect label(metrics.averageCharWidth(), 0, metrics.horizontalAdvance(text),
                      metrics.height());
    p.fillRect(label, QColor(ToQRgb(ColorFace)));
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text);
  }
};

}  // namespace

// --- The dialog's window ----------------------------------------------------------------------

TDialogWidget::TDialogWidget(TWindowWidget* client, QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), Client(client) {}

void TDialogWidget::reject() {
  if (TWindow* owner = Owner()) owner->HandleMessage(WM_COMMAND, IDCANCEL, 0);
}

void TDialogWidget::closeEvent(QCloseEvent* e) {
  e->ignore();
  if (TWindow* owner = Owner()) owner->HandleMessage(WM_CLOSE, 0, 0);
}

void TDialogWidget::keyPressEvent(QKeyEvent* e) {
  if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) {
    QDialog::keyPressEvent(e);
    return;
  }
  // The focused push button, else the default one, else IDOK.
  auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget());
  if (focused == nullptr || !isAncestorOf(focused)) {
    focused = nullptr;
    for (QPushButton* button : findChildren<QPushButton*>()) {
      if (button->isDefault()) focused = button;
    }
  }
  if (focused != nullptr) {
    if (focused->isEnabled()) focused->click();
  } else if (TWindow* owner = Owner()) {
    owner->HandleMessage(WM_COMMAND, IDOK, 0);
  }
}

void TDialogWidget::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  if (TWindow* owner = Owner(); owner != nullptr && owner->Impl()->PlaceClient) {
    owner->Impl()->PlaceClient();
  }
}

// --- Tab stops --------------------------------------------------------------------------------

int TTabbedLineDelegate::NextStop(int x) const {
  for (const int stop : Stops) {
    if (stop > x) return stop;
  }
  const int last = Stops.empty() ? 0 : Stops.back();
  const int step = std::max(1, DefaultStop);
  return last + ((std::max(x, last) - last) / step + 1) * step;
}

void TTabbedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QString text = opt.text;
  opt.text.clear();
  const QWidget* widget = opt.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  painter->save();
  painter->setFont(opt.font);
  painter->setPen(opt.palette.color(
      (opt.state & QStyle::State_Selected) != 0 ? QPalette::HighlightedText : QPalette::Text));
  painter->setClipRect(area);
  const QFontMetrics metrics(opt.font);
  int x = 0;
  const QStringList parts = text.split('\t');
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) x = NextStop(x);
    QString part = parts[i];
    // A part that would run into the next stop the list set is cut short with an
    // ellipsis, so the parts after it stay under their headers and in sight.
    const int next = NextStop(x);
    if (i + 1 < parts.size() && std::find(Stops.begin(), Stops.end(), next) != Stops.end()) {
      part = metrics.elidedText(part, Qt::ElideRight, next - x - metrics.averageCharWidth() / 2);
    }
    const QRect cell(area.left() + x, area.top(), area.width() - x, area.height());
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, part);
    x += metrics.horizontalAdvance(part);
  }
  painter->restore();
}

// --- Controls -----------------------------------------------------------------------------------

QFont DialogFont(const std::string& face, int pointSize) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const bool classic =
      face.empty() || face == "MS Sans Serif" || face == "MS Shell Dlg" || face == "MS Shell Dlg 2";
  if (!classic) font.setFamily(QString::fromUtf8(face.c_str()));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, PointsToPixels(pointSize)));
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

// --- TDialog ------------------------------------------------------------------------------------

// clang-format off
DEFINE_RESPONSE_TABLE1(TDialog, TWindow)
  EV_COMMAND(IDOK, &TDialog::CmOk),
  EV_COMMAND(IDCANCEL, &TDialog::CmCancel),
  EV_MESSAGE(WM_CLOSE, &TDialog::EvClose),
END_RESPONSE_TABLE;
// clang-format on

TDialog::TDialog(TWindow* parent, int resourceId, TModule* module)
    : TWindow(parent, nullptr, module), ResourceId(resourceId), D(std::make_unique<TDialogImpl>()) {
  Attr.Style = WS_POPUP | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
  // A dialog lives for one use: it is made when it runs, not with its parent.
  SetAutoCreate(false);
  SetBkgndColor(ColorFace);
}

TDialog::~TDialog() = default;

TSize TDialog::GetBaseUnits() const {
  return D->BaseUnits;
}

void TDialog::MapDialogRect(TRect& rect) const {
  const TSize units = D->BaseUnits;
  rect = TRect(MulDiv(rect.left, units.cx, 4), MulDiv(rect.top, units.cy, 8),
               MulDiv(rect.right, units.cx, 4), MulDiv(rect.bottom, units.cy, 8));
}

void TDialog::CreateWidget() {
  D->Template = TResources::FindDialog(ResourceId);
  if (D->Template == nullptr) return;
  const TDialogResource& t = *D->Template;
  D->Font = DialogFont(t.FaceName, t.PointSize);
  D->BaseUnits = AverageCharSize(D->Font);
  if (GetCaption().empty()) SetCaption(t.Caption.c_str());

  const TRect area = ItemPixels(*this, t.X, t.Y, t.W, t.H);
  // The template places the dialog relative to its owner's client area.
  QWidget* owner = OwnerWindow(GetParentO());
  QPoint origin;
  if (owner != nullptr) origin = GetParentO()->Impl()->Widget->mapToGlobal(QPoint(0, 0));
  Attr.X = origin.x() + area.left;
  Attr.Y = origin.y() + area.top;
  Attr.W = area.Width();
  Attr.H = area.Height();

  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if ((t.Style & WS_SYSMENU) != 0) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  // Owned by the owner's window, or by this window until DestroyWidgets.
  auto* outer = new TDialogWidget(nullptr, owner, flags);
  outer->setFont(D->Font);
  outer->setModal(true);
  outer->setFixedSize(area.Width(), area.Height());
  auto* client = new TWindowWidget(this, outer);
  outer->SetClient(client);
  TImpl& impl = *Impl();
  impl.Outer = outer;
  impl.Widget = client;
  impl.PlaceClient = [this] {
    TImpl& d = *Impl();
    if (d.Outer != nullptr) d.Widget->setGeometry(0, 0, d.Outer->width(), d.Outer->height());
  };

  // Controls without an object are made here; bound ones when their object is created.
  D->Controls.clear();
  for (const TDialogItemResource& item : t.Items) {
    const bool bound =
        std::any_of(GetChildren().begin(), GetChildren().end(),
                    [&](const TWindow* c) { return c->GetId() == item.Id && item.Id != -1; });
    if (bound) continue;
    QWidget* control = MakeControl(*this, item, client, nullptr);
    control->show();
    if (item.Id != -1) D->Controls[item.Id] = control;
  }
}

void TDialog::SetupWindow() {
  TWindow::SetupWindow();
  if (D->Template == nullptr) return;
  // Tab order and first focus follow the template, bound controls or not.
  QWidget* previous = nullptr;
  QWidget* first = nullptr;
  std::vector<QWidget*> order;
  for (const TDialogItemResource& item : D->Template->Items) {
    auto it = D->Controls.find(item.Id);
    if (it == D->Controls.end() || it->second == nullptr) continue;
    QWidget* control = it->second;
    if (control->focusPolicy() == Qt::NoFocus) continue;
    order.push_back(control);
    if (first == nullptr && (item.Style & WS_TABSTOP) != 0) first = control;
  }
  for (QWidget* control : order) {
    if (previous != nullptr) QWidget::setTabOrder(previous, control);
    previous = control;
  }
  if (first != nullptr) first->setFocus();
}

int TDialog::Execute() {
  if (IsWindow() || !Create()) return -1;
  MakeRoomForTexts(*Impl()->Outer, *Impl()->Widget);
  D->Result = IDCANCEL;
  D->Running = true;
  TModalRequest request;
  DescribeForResponder(request);
  std::optional<TModalAnswer> answer = AskModalResponder(request);
  if (answer) {
    for (int round = 0; answer && D->Running && round < MaxResponderRounds; ++round) {
      ApplyAnswer(*answer);
      if (!D->Running) break;
      request = TModalRequest();
      DescribeForResponder(request);
      answer = AskModalResponder(request);
    }
  } else {
    static_cast<QDialog*>(Impl()->Outer)->exec();
  }
  // A dialog nobody closed counts as cancelled.
  D->Running = false;
  const int result = D->Result;
  TWindow::Destroy(result);
  return result;
}

void TDialog::Destroy(int retVal) {
  if (!D->Running) {
    TWindow::Destroy(retVal);
    return;
  }
  D->Result = retVal;
  D->Running = false;
  if (auto* outer = qobject_cast<QDialog*>(Impl()->Outer); outer != nullptr && outer->isVisible()) {
    outer->done(retVal);
  }
}

TResult TDialog::DefWindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  // A dialog's commands and its controls' notifications stop here.
  if (msg == WM_COMMAND || msg == WM_COMMAND_ENABLE || msg == WM_SETHINTCOMMAND) return 0;
  return TWindow::DefWindowProc(msg, p1, p2);
}

void TDialog::CmOk() {
  CloseWindow(IDOK);
}

void TDialog::CmCancel() {
  Destroy(IDCANCEL);
}

TResult TDialog::EvClose(TParam1, TParam2) {
  HandleMessage(WM_COMMAND, IDCANCEL, 0);
  return 0;
}

HWND TDialog::GetDlgItem(int id) const {
  for (TWindow* child : GetChildren()) {
    if (child->GetId() == id) return child->GetHandle();
  }
  const auto it = D->Controls.find(id);
  return it != D->Controls.end() ? reinterpret_cast<HWND>(it->second.data()) : nullptr;
}

bool TDialog::SetDlgItemText(int id, const char* text) {
  const auto it = D->Controls.find(id);
  if (it == D->Controls.end() || it->second == nullptr) return false;
  SetControlText(it->second, text);
  return true;
}

int TDialog::GetDlgItemText(int id, char* text, int size) const {
  const auto it = D->Controls.find(id);
  return CopyText(it != D->Controls.end() ? ControlText(it->second) : std::string(), text, size);
}

void TDialog::DescribeForResponder(TModalRequest& request) const {
  request.Kind = TModalRequest::Dialog;
  request.Caption = GetCaption();
  request.ResourceId = ResourceId;
  request.Window = const_cast<TDialog*>(this);
  for (const auto& [id, control] : D->Controls) {
    if (control == nullptr) continue;
    if (const auto* list = qobject_cast<const QListWidget*>(control.data())) {
      std::vector<std::string>& lines = request.ListItems[id];
      for (int i = 0; i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
      const bool selected = list->currentItem() != nullptr && list->currentItem()->isSelected();
      request.ListSelections[id] = selected ? list->currentRow() : -1;
    } else {
      request.ControlTexts[id] = ControlText(control);
    }
  }
}

void TDialog::ApplyAnswer(const TModalAnswer& answer) {
  for (const auto& [id, text] : answer.ControlTexts) SetDlgItemText(id, text.c_str());
  for (const auto& [id, index] : answer.ListSelections) {
    if (auto it = D->Controls.find(id); it != D->Controls.end())
      SelectListLine(it->second, index, false);
  }
  const int button = answer.Button != 0 ? answer.Button : IDCANCEL;
  const auto it = D->Controls.find(button);
  if (auto* push =
          it != D->Controls.end() ? qobject_cast<QPushButton*>(it->second.data()) : nullptr) {
    push->click();  // nothing when it is greyed, as for the player
  } else if (button == IDOK || button == IDCANCEL) {
    // Enter and Escape work without buttons of those ids.
    HandleMessage(WM_COMMAND, static_cast<TParam1>(button), 0);
  }
}
