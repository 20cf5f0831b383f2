// Commands by id. Every window class that takes menu or toolbar commands has
// one table binding command ids to its On... handler and, where the item's
// state depends on the program, an OnUpdate... handler that enables, checks
// or renames the item. A command with no handler is greyed.
//
// Commands chosen in a menu or on a toolbar are posted: they run from the
// event loop after the menu has closed (also from the engine's message pump
// inside a search), never on the menu's own stack.
#pragma once

#include <QObject>
#include <QString>
#include <optional>

// The state an update handler gives a menu item or toolbar button.
class CCmdUI {
 public:
  explicit CCmdUI(int id) : id_(id) {}
  int GetId() const { return id_; }
  void Enable(bool on = true) { enabled_ = on; }
  void SetCheck(int check = 1) { check_ = check != 0; }
  void SetText(const QString& text) { text_ = text; }

  bool IsEnabled() const { return enabled_; }
  bool IsChecked() const { return check_; }
  const std::optional<QString>& Text() const { return text_; }

 private:
  int id_;
  bool enabled_ = true;
  bool check_ = false;
  std::optional<QString> text_;
};

// A receiver of commands.
class CCmdTarget {
 public:
  virtual ~CCmdTarget() = default;
  // Runs the handler of `id`; false when the class has none.
  virtual bool OnCmdMsg(int id) = 0;
  // Fills in the state of item `id`: its update handler when it has one,
  // enabled when only a command handler exists, greyed otherwise.
  virtual void OnUpdateCmdUI(CCmdUI& ui) = 0;
};

// One class's command table: entries {id, handler, update handler}, either
// handler may be null.
template <class T>
struct CommandMapEntry {
  int id;
  void (T::*onCommand)();
  void (T::*onUpdate)(CCmdUI*);
};

template <class T, size_t N>
bool DispatchCommand(T* self, const CommandMapEntry<T> (&map)[N], int id) {
  for (const CommandMapEntry<T>& e : map) {
    if (e.id == id && e.onCommand != nullptr) {
      (self->*e.onCommand)();
      return true;
    }
  }
  return false;
}

// The update handler of `id` when `map` lists it; false (and `ui` left as it
// is) when it does not, so that a window with several tables can ask each.
template <class T, size_t N>
bool DispatchUpdateIfListed(T* self, const CommandMapEntry<T> (&map)[N], CCmdUI& ui) {
  for (const CommandMapEntry<T>& e : map) {
    if (e.id != ui.GetId()) continue;
    if (e.onUpdate != nullptr) {
      (self->*e.onUpdate)(&ui);
    } else {
      ui.Enable(e.onCommand != nullptr);
    }
    return true;
  }
  return false;
}

template <class T, size_t N>
void DispatchUpdate(T* self, const CommandMapEntry<T> (&map)[N], CCmdUI& ui) {
  if (!DispatchUpdateIfListed(self, map, ui)) ui.Enable(false);
}

// Queues command `id` for `target`; it runs from the event loop as long as
// `context` (the window of the target) still exists.
void PostCommand(QObject* context, CCmdTarget* target, int id);
