#pragma once
// Menus are filled from the model as they open, so that their Click handlers can change them first.
#include <functional>

class QMenu;

namespace platform {
class Form;
class Menu;
}  // namespace platform

namespace frontend {

class FormWindow;
class WidgetContext;

// Rebuilds a form window's menu bar from the form's visible menus.
void fill_menu_bar(WidgetContext& mirror, FormWindow* w, platform::Form& f);
// Fills a Qt menu with the reachable items of a model menu. Submenus raise their Click as
// they open and are filled afresh then; choosing a leaf calls on_leaf with it.
void fill_qmenu(WidgetContext& mirror, QMenu& qm, platform::Menu& m,
                const std::function<void(platform::Menu*)>& on_leaf);

}  // namespace frontend
