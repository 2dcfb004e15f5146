#pragma once
// Menu items. A top-level menu is a child of its form (the menu bar, or a pop-up when hidden);
// an item's children are its submenu.
#include <string>
#include <vector>

#include "platform/control.hpp"
#include "platform/event.hpp"

namespace platform {

class Form;

// A leaf's Click runs when it is chosen; a parent's when its submenu opens. With I = int, the
// same events on a menu array, receiving the element's index first.
template <class... I>
struct MenuEvents {
    Event<I...> Click;
    template <class O, class F>
    void zip_events(O& other, F f) {
        f(Click, other.Click);
    }
};

class Menu : public Container, public MenuEvents<> {
public:
    template <class... I>
    using EventSet = MenuEvents<I...>;

    Menu(Container* parent, std::string name, int index = -1);

    const char* type_name() const override { return "Menu"; }

    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);
    // Shown next to the caption only: keys act through the form's KeyDown.
    const std::string& shortcut_text() const { return shortcut_text_; }
    void set_shortcut_text(std::string s);

    // The submenu's items (hidden ones included), in order.
    std::vector<Menu*> items() const;
    bool is_leaf() const { return items().empty(); }
    // The form the menu belongs to, or null.
    Form* form() const;

    // For run-time loaded menu arrays: starts as a hidden copy of the designed element.
    void copy_from(const Menu& other);

private:
    std::string caption_;
    std::string shortcut_text_;
};

// Whether a user who opened root can choose item: item lies below root, and it and every menu
// between them are enabled and visible (root itself may be hidden: pop-ups).
bool reachable(const Menu& item, const Menu& root);

}  // namespace platform
