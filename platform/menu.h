// Menus built from the menu resources: the menu bar of a language and the
// pop-up menus. Every item carries its command id; choosing it posts the
// command to the menu's target, and opening a menu runs the target's update
// handlers for its items (enable, check, text).
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <cstddef>

#include "platform/command_target.h"
#include "res/menus.h"

class QAction;
class QMenu;

class QWidget;

class CMenu {
 public:
  CMenu() = default;
  ~CMenu() { DestroyMenu(); }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  // Builds menu resource `id` as a menu bar whose commands go to `target`
  // (guarded by `context`, the target's window). False for an unknown id.
  bool LoadMenu(int id, CCmdTarget* target, QObject* context);
  // The bar built by LoadMenu; a window that shows it takes ownership, and
  // the bar is still destroyed by DestroyMenu when it is replaced.
  QMenuBar* GetMenuBar() const { return bar_; }
  int GetResourceId() const { return resourceId_; }
  void DestroyMenu();

 private:
  QPointer<QMenuBar> bar_;
  int resourceId_ = 0;
};

// A pop-up menu of `nodes` with the texts of `language`, owned by `parent`.
QMenu* BuildPopupMenu(const MenuNode* nodes, size_t nodeCount, int language, CCmdTarget* target,
                      QObject* context, QWidget* parent);
// Runs the update pass over the items of `menu` (not its sub-menus, which
// update when they open).
void UpdateMenuItems(QMenu* menu, CCmdTarget* target);
// The command id of a menu action, 0 for titles and separators.
int ActionCommandId(const QAction* action);
