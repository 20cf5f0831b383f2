// A toolbar: one row of flat buttons 30 pixels high, each bound to a command
// id. Pressing a button posts its command to the target, as a menu item
// does; the update pass enables, disables and checks the buttons through the
// same update handlers as the menus. A drop-down button opens a menu at its
// lower-left corner. The bar lives inside its owner's band (a child widget
// at a fixed place), never floating.
//
// The update pass also runs by itself a few times a second while the bar is
// visible, and once after each command a button posts, so the buttons follow
// the program's state as menus do when they open. When the bar is wider
// than its parent, its buttons narrow (down to a minimum) so that every one
// stays in reach.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/command_target.h"

class QFrame;
class QToolButton;

class CToolBar : public QWidget {
  Q_OBJECT

 public:
  explicit CToolBar(QWidget* parent);

  // Builds the buttons of toolbar resource `id` (res/toolbars.h); commands go
  // to `target` while `context` exists. False for an unknown id.
  bool LoadToolBar(int id, CCmdTarget* target, QObject* context);
  // Makes the button of `command` a drop-down button: a narrow arrow button
  // beside it calls `onDropDown(command)` (the owner opens the menu with
  // PopupMenuBelow), while the button itself still posts its command.
  void SetDropDown(int command, std::function<void(int)> onDropDown);
  // Opens `menu` at the lower-left corner of the button of `command`, or
  // above the button when the screen has no room below. The menu stays the
  // caller's; a one-time menu can carry Qt::WA_DeleteOnClose.
  void PopupMenuBelow(int command, class QMenu* menu);
  // The update pass: each button's enabled and checked state from the
  // target's update handlers; buttons without a handler are greyed. The
  // tooltips follow a change of the interface language here too.
  void OnUpdateCmdUI();
  // Tooltips in the current language (after a language change).
  void RefreshTexts();
  // The button of a command, null when the bar has none.
  QToolButton* Button(int command) const;
  // The arrow of a drop-down button, null for other commands.
  QToolButton* DropDownArrow(int command) const;
  int ResourceId() const { return resourceId_; }

  // Sizes in pixels: the row, a button at full width, the narrowest button,
  // a separator and a drop-down arrow.
  static constexpr int kRowHeight = 30;
  static constexpr int kButtonWidth = 28;
  static constexpr int kMinButtonWidth = 18;
  static constexpr int kSeparatorWidth = 6;
  static constexpr int kArrowWidth = 12;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  struct Item {
    int command = 0;  // 0 for a separator
    int tooltip = 0;
    QToolButton* button = nullptr;
    QToolButton* arrow = nullptr;
    QFrame* separator = nullptr;
    std::function<void(int)> onDropDown;
  };

  void Clear();
  void Relayout();
  void ButtonClicked(int command);
  const Item* Find(int command) const;

  int resourceId_ = 0;
  CCmdTarget* target_ = nullptr;
  QPointer<QObject> context_;
  std::vector<Item> items_;
  QTimer updateTimer_;
  int textLanguage_ = -1;  // language of the tooltips shown
};
