#pragma once
// The host finds the mirror's windows through this alone, so that host and mirror do not include each other.
#include <functional>

class QMenu;
class QWidget;

namespace platform {
class Control;
class Form;
class Menu;
}  // namespace platform

namespace frontend {

class WindowMap {
public:
    // The widget of a control (a form: its top-level window); null when it has none.
    virtual QWidget* widget(const platform::Control& c) const = 0;
    // The area below a form's menu bar, where its controls lie.
    virtual QWidget* client_area(const platform::Form& f) const = 0;
    // Whether the control is still known.
    virtual bool alive(const platform::Control* c) const = 0;
    // Fills a Qt menu with the reachable items of a model menu; choosing a leaf calls on_leaf with it.
    virtual void fill_menu(QMenu& qm, platform::Menu& m, const std::function<void(platform::Menu*)>& on_leaf) = 0;

protected:
    ~WindowMap() = default;
};

}  // namespace frontend
