// The Qt side of menus (private to the framework): a menu is a QMenuBar or a QMenu, an
// item a QAction whose data is its command id. The window that owns a menu bar listens
// to it: commands, highlighted items, pop-ups opening and the whole menu closing.
#pragma once

#include <QMenu>
#include <QWidget>

#include "framework/menus/menu.h"

class TMenuListener {
 public:
  virtual ~TMenuListener() = default;
  virtual void MenuCommand(UINT id) = 0;
  // item is the command id, or the position of a pop-up; flags are MF_ flags.
  virtual void MenuSelect(UINT item, UINT flags, HMENU menu) = 0;
  virtual void MenuOpening(QMenu* popup) = 0;
  virtual void MenuClosed() = 0;
};

inline QWidget* MenuWidget(HMENU menu) {
  return reinterpret_cast<QWidget*>(menu);
}
inline HMENU MenuHandle(QWidget* menu) {
  return reinterpret_cast<HMENU>(menu);
}

// The listener hears every menu below bar; null stops it.
void SetMenuListener(QWidget* bar, TMenuListener* listener);

// Builds the items of a menu resource into an empty menu.
void BuildMenu(QWidget* menu, int resourceId);

// The command id of an item (0 for separators and pop-ups).
UINT MenuActionId(const QAction* action);

// An item's whole text, where the menu shows it shortened.
constexpr char FullTextProperty[] = "kavroFullText";
