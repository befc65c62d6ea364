// The resource tables, and the framework's own input dialog.
#include "framework/resources/resources.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

struct TTables {
  std::map<int, TMenuResource> Menus;
  std::map<int, TAccelTableResource> Accelerators;
  std::map<UINT, std::string> Strings;
  std::map<int, TDialogResource> Dialogs;
  std::map<int, TDib> Bitmaps;
  std::map<int, std::vector<TDib>> Icons;
};

TDialogResource InputDialog() {
  TDialogResource d;
  d.X = 20;
  d.Y = 20;
  d.W = 200;
  d.H = 62;
  d.Items = {
      {TControlClass::Static, ID_PROMPT, 8, 6, 184, 10, "", SS_LEFT | SS_NOPREFIX, 0},
      {TControlClass::Edit, ID_INPUT, 8, 19, 184, 12, "",
       ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0},
      {TControlClass::Button, IDOK, 52, 40, 44, 14, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {TControlClass::Button, IDCANCEL, 104, 40, 44, 14, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0},
  };
  return d;
}

TTables& Tables() {
  static TTables tables = [] {
    TTables t;
    t.Dialogs[IDD_INPUTDIALOG] = InputDialog();
    return t;
  }();
  return tables;
}

template <class M, class K>
const typename M::mapped_type* Find(const M& map, const K& key) {
  const auto it = map.find(key);
  return it != map.end() ? &it->second : nullptr;
}

}  // namespace

void TResources::AddMenu(int id, TMenuResource menu) {
  Tables().Menus[id] = std::move(menu);
}
void TResources::AddAccelerators(int id, TAccelTableResource table) {
  Tables().Accelerators[id] = std::move(table);
}
void TResources::AddString(UINT id, std::string text) {
  Tables().Strings[id] = std::move(text);
}
void TResources::AddDialog(int id, TDialogResource dialog) {
  Tables().Dialogs[id] = std::move(dialog);
}
void TResources::AddBitmap(int id, TDib dib) {
  Tables().Bitmaps[id] = std::move(dib);
}
void TResources::AddIcon(int id, TDib dib) {
  if (!dib.IsOK()) return;
  std::vector<TDib>& images = Tables().Icons[id];
  const auto at = std::find_if(images.begin(), images.end(),
                               [&dib](const TDib& image) { return image.Width() >= dib.Width(); });
  if (at != images.end() && at->Width() == dib.Width()) {
    *at = std::move(dib);
  } else {
    images.insert(at, std::move(dib));
  }
}

const TMenuResource* TResources::FindMenu(int id) {
  return Find(Tables().Menus, id);
}
const TAccelTableResource* TResources::FindAccelerators(int id) {
  return Find(Tables().Accelerators, id);
}
const std::string* TResources::FindString(UINT id) {
  return Find(Tables().Strings, id);
}
const TDialogResource* TResources::FindDialog(int id) {
  return Find(Tables().Dialogs, id);
}
const TDib* TResources::FindBitmap(int id) {
  return Find(Tables().Bitmaps, id);
}
const TDib* TResources::FindIcon(int id, int size) {
  const std::vector<TDib>* images = FindIconImages(id);
  if (images == nullptr || images->empty()) return nullptr;
  const TDib* best = &images->front();
  for (const TDib& image : *images) {
    // Narrowest first, so on a tie the later, larger image wins.
    if (std::abs(image.Width() - size) <= std::abs(best->Width() - size)) best = &image;
  }
  return best;
}
const std::vector<TDib>* TResources::FindIconImages(int id) {
  return Find(Tables().Icons, id);
}
