#include "platform/menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "platform/text_codec.h"

namespace {

// Makes `action` the item of command `id`: choosing it posts the command.
void BindCommand(QAction* action, int id, CCmdTarget* target, QObject* context) {
  action->setData(id);
  QObject::connect(action, &QAction::triggered, action,
                   [context, target, id] { PostCommand(context, target, id); });
}

QMenu* NewSubMenu(QWidget* parent, const QString& title, CCmdTarget* target) {
  QMenu* menu = new QMenu(title, parent);
  QObject::connect(menu, &QMenu::aboutToShow, menu,
                   [menu, target] { UpdateMenuItems(menu, target); });
  return menu;
}

// Builds the nodes into `root` (a menu bar when `bar` is set, else `menu`).
// Nodes of an unbalanced list are read as far as they make sense: a kEnd
// with no open sub-menu is ignored and open sub-menus close at the end.
void BuildNodes(const MenuNode* nodes, size_t count, int language, CCmdTarget* target,
                QObject* context, QMenuBar* bar, QMenu* menu) {
  std::vector<QMenu*> open;
  for (size_t i = 0; i < count; ++i) {
    const MenuNode& node = nodes[i];
    QMenu* current = open.empty() ? menu : open.back();
    switch (node.kind) {
      case MenuNodeKind::kPopup: {
        const QString title = MenuTextString(node.text, language);
        QMenu* sub;
        if (current == nullptr) {
          sub = NewSubMenu(bar, title, target);
          bar->addMenu(sub);
        } else {
          sub = NewSubMenu(current, title, target);
          current->addMenu(sub);
        }
        open.push_back(sub);
        break;
      }
      case MenuNodeKind::kEnd:
        if (!open.empty()) open.pop_back();
        break;
      case MenuNodeKind::kSeparator:
        if (current != nullptr) current->addSeparator();
        break;
      case MenuNodeKind::kItem:
        // A command at the top of a bar becomes an action of the bar itself:
        // a one-item menu would change the tree.
        if (current != nullptr) {
          BindCommand(current->addAction(MenuTextString(node.text, language)), node.command,
                      target, context);
        } else if (bar != nullptr) {
          BindCommand(bar->addAction(MenuTextString(node.text, language)), node.command, target,
                      context);
        }
        break;
    }
  }
}

}  // namespace

bool CMenu::LoadMenu(int id, CCmdTarget* target, QObject* context) {
  DestroyMenu();
  const MenuResource* resource = FindMenuResource(id);
  if (resource == nullptr) return false;
  bar_ = new QMenuBar();
  resourceId_ = id;
  BuildNodes(resource->nodes, resource->nodeCount, resource->language, target, context, bar_,
             nullptr);
  return true;
}

void CMenu::DestroyMenu() {
  delete bar_.data();
  bar_ = nullptr;
  resourceId_ = 0;
}

QMenu* BuildPopupMenu(const MenuNode* nodes, size_t nodeCount, int language, CCmdTarget* target,
                      QObject* context, QWidget* parent) {
  QMenu* menu = NewSubMenu(parent, QString(), target);
  BuildNodes(nodes, nodeCount, language, target, context, nullptr, menu);
  return menu;
}

int ActionCommandId(const QAction* action) {
  if (action == nullptr || action->menu() != nullptr || action->isSeparator()) return 0;
  bool ok = false;
  const int id = action->data().toInt(&ok);
  return ok ? id : 0;
}

void UpdateMenuItems(QMenu* menu, CCmdTarget* target) {
  if (menu == nullptr || target == nullptr) return;
  for (QAction* action : menu->actions()) {
    const int id = ActionCommandId(action);
    if (id == 0) continue;
    CCmdUI ui(id);
    target->OnUpdateCmdUI(ui);
    action->setEnabled(ui.IsEnabled());
    action->setCheckable(ui.IsChecked());
    action->setChecked(ui.IsChecked());
    if (ui.Text()) action->setText(*ui.Text());
  }
}
