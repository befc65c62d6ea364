// Open and save dialogs over Qt's own file dialog, with a child template's panel.
#include "framework/common_dialogs/file_dialogs.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>
#include <QTreeView>

#include <algorithm>
#include <cstring>

#include "framework/dialogs/dialog_impl.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/text/translation.h"
#include "framework/windows/messages.h"
#include "platform/utf8.h"

namespace {

bool IsWild(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

// Windows matches file names without regard to case; Qt's patterns on this system do not,
// so every letter becomes a choice of both cases.
QString CaseFreePatterns(const std::string& patterns) {
  QStringList out;
  for (const QString& glob : QString::fromUtf8(patterns.c_str()).split(';', Qt::SkipEmptyParts)) {
    QString free;
    for (const QChar c : glob.trimmed()) {
      if (c.isLetter() && c.toLower() != c.toUpper()) {
        free += QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper());
      } else {
        free += c;
      }
    }
    out << free;
  }
  return out.join(' ');
}

// The extension a pattern such as "*.KVR" stands for; empty for wider patterns.
std::string ExtensionOf(const std::string& patterns) {
  const std::string first = patterns.substr(0, patterns.find(';'));
  if (first.rfind("*.", 0) != 0) return {};
  const std::string ext = first.substr(2);
  return IsWild(ext) ? std::string() : ext;
}

// Has the details view size its Size, Type and Date columns to what they show, the name
// taking the rest; returns how much wider the dialog must be for all four to read in full.
int ReadableColumns(QFileDialog& box) {
  auto* tree = box.findChild<QTreeView*>("treeView");
  if (tree == nullptr) return 0;
  QHeaderView* header = tree->header();
  header->setStretchLastSection(false);
  header->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int column = 1; column < header->count(); ++column) {
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  // A long name, a large size, a long type and a late date, each with its padding.
  const QFontMetrics metrics(tree->font());
  const QDateTime late(QDate(2026, 12, 28), QTime(22, 59));
  int width = 0;
  for (const QString& text : {QString(24, 'w'), QString("9999.9 KiB"), QString("Windows BMP image"),
                              QLocale().toString(late, QLocale::ShortFormat)}) {
    width += metrics.horizontalAdvance(text) + 3 * metrics.averageCharWidth();
  }
  width += tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * tree->frameWidth();
  return std::max(0, width - tree->sizeHint().width());
}

}  // namespace

// --- TData
// ------------------------------------------------------------------------------------------

TOpenSaveDialog::TData::TData(DWORD flags, const char* filter, const char* initialDir,
                              const char* defExt, int filterIndex)
    : Flags(flags),
      FilterIndex(filterIndex),
      InitialDir(initialDir != nullptr ? initialDir : ""),
      DefExt(defExt != nullptr ? defExt : "") {
  SetFilter(filter);
}

void TOpenSaveDialog::TData::SetFilter(const char* filter) {
  Filter.clear();
  if (filter == nullptr) return;
  const char* p = filter;
  while (*p != '\0') {
    const std::size_t length = std::strlen(p);
    Filter.append(p, length + 1);
    p += length + 1;
  }
}

std::vector<std::pair<std::string, std::string>> TOpenSaveDialog::TData::GetFilterPairs() const {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < Filter.size();) {
    const std::size_t end = Filter.find('\0', start);
    parts.push_back(Filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) pairs.emplace_back(parts[i], parts[i + 1]);
  return pairs;
}

void TOpenSaveDialog::TData::SetFileName(const char* name) {
  // Cut on a character, never inside one.
  const std::size_t length =
      name != nullptr ? Utf8CutLength(std::string_view(name, strnlen(name, MAX_PATH)), MAX_PATH - 1)
                      : 0;
  if (length > 0) std::memcpy(FileName, name, length);
  FileName[length] = '\0';
}

// --- TOpenSaveDialog
// ---------------------------------------------------------------------------------

TOpenSaveDialog::TOpenSaveDialog(TWindow* parent, TData& data, bool save, int templateId,
                                 const char* title, TModule* module)
    : TCommonDialog(parent, title, templateId, module), Data(data), Save(save) {}

TOpenSaveDialog::~TOpenSaveDialog() = default;

void TOpenSaveDialog::CreateWidget() {
  TDialogImpl& d = DialogImpl();
  d.Template = GetResourceId() != 0 ? TResources::FindDialog(GetResourceId()) : nullptr;
  d.Font = DialogFont(d.Template != nullptr ? d.Template->FaceName : std::string(),
                      d.Template != nullptr ? d.Template->PointSize : 8);
  d.BaseUnits = AverageCharSize(d.Font);
  if (GetCaption().empty()) SetCaption(Save ? N_("Save As") : N_("Open"));

  QWidget* owner = OwnerWindow(GetParentO());
  // Owned by the owner's window, or by this window until DestroyWidgets.
  auto* box = new QFileDialog(owner);
  box->setOption(QFileDialog::DontUseNativeDialog);
  box->setOption(QFileDialog::HideNameFilterDetails);
  box->setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  box->setFileMode(!Save && (Data.Flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                                  : QFileDialog::AnyFile);
  if ((Data.Flags & OFN_OVERWRITEPROMPT) == 0) box->setOption(QFileDialog::DontConfirmOverwrite);
  if (!Data.InitialDir.empty() && QFileInfo(QString::fromUtf8(Data.InitialDir.c_str())).isDir()) {
    box->setDirectory(QString::fromUtf8(Data.InitialDir.c_str()));
  }
  QStringList filters;
  for (const auto& [text, patterns] : Data.GetFilterPairs()) {
    filters << QString::fromUtf8(Translate(text.c_str())) + " (" + CaseFreePatterns(patterns) + ")";
  }
  if (!filters.isEmpty()) {
    box->setNameFilters(filters);
    box->selectNameFilter(
        filters.value(std::clamp(Data.FilterIndex, 1, static_cast<int>(filters.size())) - 1));
  }
  if (Data.FileName[0] != '\0') box->selectFile(QString::fromUtf8(Data.FileName));

  auto* panel = new TWindowWidget(this, box);
  TImpl& impl = *Impl();
  impl.Outer = box;
  impl.Widget = panel;
  if (d.Template != nullptr) {
    const TDialogResource& t = *d.Template;
    // With the stand-in, the panel is what lies right of it; without, the whole template
    // goes below the dialog's own controls.
    const auto standIn = std::find_if(t.Items.begin(), t.Items.end(),
                                      [](const TDialogItemResource& i) { return i.Id == stc32; });
    d.ShiftX = standIn != t.Items.end() ? standIn->X + standIn->W : 0;
    const TRect size = ItemPixels(*this, 0, 0, t.W - d.ShiftX, t.H);
    panel->setFixedSize(size.Width(), size.Height());
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
      if (standIn != t.Items.end()) {
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1, Qt::AlignTop);
      } else {
        grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignLeft);
      }
    }
    for (const TDialogItemResource& item : t.Items) {
      const bool bound = std::any_of(GetChildren().begin(), GetChildren().end(),
                                     [&](const TWindow* c) { return c->GetId() == item.Id; });
      if (item.Id == stc32 || (bound && item.Id != -1)) continue;
      QWidget* control = MakeControl(*this, item, panel, nullptr);
      control->show();
      if (item.Id != -1) d.Controls[item.Id] = control;
    }
  } else {
    panel->setFixedSize(0, 0);
  }
  const QSize natural = box->sizeHint();
  Attr.W = natural.width() + ReadableColumns(*box);
  Attr.H = natural.height();
  QPointer<TWindowWidget> guard = panel;
  QObject::connect(box, &QFileDialog::currentChanged, box, [this, guard](const QString& path) {
    if (guard != nullptr && guard->GetOwner() != nullptr) SelectionChanged(path.toStdString());
  });
}

void TOpenSaveDialog::SelectionChanged(const std::string& path) {
  Selected = path;
  NMHDR header{GetHandle(), static_cast<std::uintptr_t>(GetId()), CDN_SELCHANGE};
  HandleMessage(WM_NOTIFY, 0, reinterpret_cast<TParam2>(&header));
}

int TOpenSaveDialog::GetFilePath(char* buffer, int size) const {
  if (Selected.empty()) return 0;
  const int needed = static_cast<int>(Selected.size()) + 1;
  if (buffer != nullptr && needed <= size)
    std::memcpy(buffer, Selected.c_str(), Selected.size() + 1);
  return needed;
}

bool TOpenSaveDialog::Accept(const std::string& path) {
  std::string chosen = path;
  // A saved file without an extension gets the default one, or the chosen filter's.
  if (Save && !chosen.empty() && QFileInfo(QString::fromUtf8(chosen.c_str())).suffix().isEmpty() &&
      !Data.DefExt.empty()) {
    std::string ext = IsWild(Data.DefExt) ? std::string() : Data.DefExt;
    const auto pairs = Data.GetFilterPairs();
    if (ext.empty() && Data.FilterIndex >= 1 &&
        Data.FilterIndex <= static_cast<int>(pairs.size())) {
      ext = ExtensionOf(pairs[static_cast<std::size_t>(Data.FilterIndex - 1)].second);
    }
    if (!ext.empty()) chosen += "." + ext;
  }
  if (chosen.empty() || chosen.size() >= MAX_PATH) {
    Data.Error = chosen.empty() ? 0 : FNERR_BUFFERTOOSMALL;
    return false;
  }
  Data.Error = 0;
  Data.SetFileName(chosen.c_str());
  return true;
}

int TOpenSaveDialog::Execute() {
  if (IsWindow() || !Create()) return -1;
  auto* box = static_cast<QFileDialog*>(Impl()->Outer);
  TModalRequest request;
  request.Kind = Save ? TModalRequest::FileSave : TModalRequest::FileOpen;
  request.Caption = GetCaption();
  request.Text = Data.FileName;
  request.Flags = Data.Flags;
  request.ResourceId = GetResourceId();
  request.Window = this;
  request.Directory = Data.InitialDir;
  request.Filters = Data.GetFilterPairs();
  request.FilterIndex = Data.FilterIndex;
  int result = IDCANCEL;
  if (std::optional<TModalAnswer> answer = AskModalResponder(request)) {
    for (const std::string& path : answer->BrowsePaths) SelectionChanged(path);
    if (answer->Button == IDOK && Accept(answer->Text)) result = IDOK;
  } else if (box->exec() == QDialog::Accepted) {
    const int filter = static_cast<int>(box->nameFilters().indexOf(box->selectedNameFilter()));
    if (filter >= 0) Data.FilterIndex = filter + 1;
    if (Accept(box->selectedFiles().value(0).toStdString())) result = IDOK;
  }
  TWindow::Destroy(result);
  return result;
}
