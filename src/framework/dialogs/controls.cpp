// Control objects over the Qt controls their dialog made from its template.
#include "framework/dialogs/controls.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <climits>
#include <cstring>

#include "framework/dialogs/dialog.h"
#include "framework/dialogs/dialog_impl.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/text/text_units.h"
#include "framework/windows/messages.h"

namespace {

TDialog* DialogOf(const TControl& control) {
  return dynamic_cast<TDialog*>(control.GetParentO());
}

QWidget* QtControl(const TControl& control) {
  TDialog* dialog = DialogOf(control);
  if (dialog == nullptr || !control.IsWindow()) return nullptr;
  const auto& controls = dialog->DialogImpl().Controls;
  const auto it = controls.find(control.GetId());
  return it != controls.end() ? it->second.data() : nullptr;
}

template <class T>
T* QtControlAs(const TControl& control) {
  return qobject_cast<T*>(QtControl(control));
}

}  // namespace

// --- TControl ---------------------------------------------------------------------------------

TControl::TControl(TWindow* parent, int resourceId, TModule* module)
    : TWindow(parent, nullptr, module) {
  Attr.Id = resourceId;
}

void TControl::CreateWidget() {
  TDialog* dialog = DialogOf(*this);
  const TDialogItemResource* item =
      dialog != nullptr ? dialog->DialogImpl().FindItem(GetId()) : nullptr;
  // A control the template does not have cannot be made.
  if (item == nullptr || dialog->Impl()->Widget == nullptr) return;
  const TRect place =
      ItemPixels(*dialog, item->X - dialog->DialogImpl().ShiftX, item->Y, item->W, item->H);
  Attr.X = place.left;
  Attr.Y = place.top;
  Attr.W = place.Width();
  Attr.H = place.Height();
  TWindow::CreateWidget();
  // The object's own widget only holds the control: it shows the dialog through.
  TWindowWidget* holder = Impl()->Widget;
  Impl()->Transparent = true;
  holder->setAttribute(Qt::WA_OpaquePaintEvent, false);
  holder->setAttribute(Qt::WA_NoSystemBackground, false);
  holder->setFocusPolicy(Qt::NoFocus);
  QWidget* control = MakeControl(*dialog, *item, holder, GetHandle());
  control->setGeometry(0, 0, place.Width(), place.Height());
  control->show();
  holder->setFocusProxy(control);
  dialog->DialogImpl().Controls[GetId()] = control;
}

void TControl::SetText(const char* text) {
  if (QWidget* control = QtControl(*this)) SetControlText(control, text);
}

std::string TControl::GetText() const {
  return ControlText(QtControl(*this));
}

int TControl::GetText(char* text, int size) const {
  return CopyText(GetText(), text, size);
}

int TControl::GetTextLen() const {
  return static_cast<int>(GetText().size());
}

void TControl::EnableWindow(bool enable) {
  if (QWidget* control = QtControl(*this)) control->setEnabled(enable);
}

bool TControl::IsWindowEnabled() const {
  const QWidget* control = QtControl(*this);
  return control != nullptr && control->isEnabled();
}

TRect TControl::GetPlacement() const {
  if (Impl()->Widget != nullptr) return ToTRect(Impl()->Widget->geometry());
  return TRect(Attr.X, Attr.Y, Attr.X + Attr.W, Attr.Y + Attr.H);
}

// --- TButton, TEdit ------------------------------------------------------------------------------

void TButton::Click() {
  if (auto* button = QtControlAs<QPushButton>(*this)) button->click();
}

void TEdit::LimitText(int length) {
  if (auto* edit = QtControlAs<QLineEdit>(*this)) edit->setMaxLength(length > 0 ? length : 32767);
}

int TEdit::GetLimit() const {
  const auto* edit = QtControlAs<QLineEdit>(*this);
  return edit != nullptr ? edit->maxLength() : 0;
}

// --- TListBox
// -------------------------------------------------------------------------------------

void TListBox::Clear() {
  if (auto* list = QtControlAs<QListWidget>(*this)) list->clear();
}

namespace {
// A line whose columns are set apart by tabs reads them to a screen reader as separate
// texts, not run together.
void InsertLine(QListWidget& list, int index, const QString& line) {
  list.insertItem(index, line);
  if (!line.contains('\t')) return;
  QStringList columns = line.split('\t');
  for (QString& column : columns) column = column.trimmed();
  columns.removeAll(QString());
  list.item(index)->setData(Qt::AccessibleTextRole, columns.join(QStringLiteral(", ")));
}
}  // namespace

int TListBox::AddString(const char* text) {
  auto* list = QtControlAs<QListWidget>(*this);
  if (list == nullptr || text == nullptr) return LB_ERR;
  const QString line = QString::fromUtf8(text);
  int index = list->count();
  if (list->property("kavroSorted").toBool()) {
    // After the lines that do not sort after it, ignoring case.
    index = 0;
    while (index < list->count() &&
           QString::compare(list->item(index)->text(), line, Qt::CaseInsensitive) <= 0) {
      ++index;
    }
  }
  InsertLine(*list, index, line);
  return index;
}

int TListBox::InsertString(const char* text, int index) {
  auto* list = QtControlAs<QListWidget>(*this);
  if (list == nullptr || text == nullptr || index > list->count()) return LB_ERR;
  if (index < 0) index = list->count();
  InsertLine(*list, index, QString::fromUtf8(text));
  return index;
}

int TListBox::DeleteString(int index) {
  auto* list = QtControlAs<QListWidget>(*this);
  if (list == nullptr || index < 0 || index >= list->count()) return LB_ERR;
  delete list->takeItem(index);
  return list->count();
}

int TListBox::GetCount() const {
  const auto* list = QtControlAs<QListWidget>(*this);
  return list != nullptr ? list->count() : LB_ERR;
}

std::string TListBox::GetString(int index) const {
  const auto* list = QtControlAs<QListWidget>(*this);
  if (list == nullptr || index < 0 || index >= list->count()) return {};
  return list->item(index)->text().toStdString();
}

int TListBox::GetStringLen(int index) const {
  const int count = GetCount();
  if (index < 0 || index >= count) return LB_ERR;
  return static_cast<int>(GetString(index).size());
}

int TListBox::GetString(char* text, int index) const {
  const int length = GetStringLen(index);
  if (length == LB_ERR || text == nullptr) return LB_ERR;
  return CopyText(GetString(index), text, length + 1);
}

int TListBox::GetSelection() const {
  const auto* list = QtControlAs<QListWidget>(*this);
  if (list == nullptr || list->currentItem() == nullptr || !list->currentItem()->isSelected()) {
    return LB_ERR;
  }
  return list->currentRow();
}

int TListBox::SetSelection(int index) {
  auto* list = QtControlAs<QListWidget>(*this);
  if (list == nullptr) return LB_ERR;
  SelectListLine(list, index, true);
  return index >= 0 && index < list->count() ? index : LB_ERR;
}

bool TListBox::SetTabStops(int numTabs, const int* tabs) {
  auto* list = QtControlAs<QListWidget>(*this);
  auto* tabbed =
      list != nullptr ? dynamic_cast<TTabbedLineDelegate*>(list->itemDelegate()) : nullptr;
  if (tabbed == nullptr || numTabs < 0 || (numTabs > 0 && tabs == nullptr)) return false;
  std::vector<int> stops;
  for (int i = 0; i < numTabs; ++i) {
    TRect r(tabs[i], 0, tabs[i], 0);
    DialogOf(*this)->MapDialogRect(r);
    stops.push_back(r.left);
  }
  // One stop is the distance between all of them.
  if (stops.size() == 1) {
    tabbed->SetStep(stops.front());
    stops.clear();
  }
  tabbed->SetStops(std::move(stops));
  list->viewport()->update();
  return true;
}
