#include "platform/menu.hpp"

#include "platform/form.hpp"

namespace platform {

Menu::Menu(Container* parent, std::string name, int index) : Container(parent, std::move(name), index) {}

void Menu::set_caption(std::string c) {
    if (caption_ == c) return;
    caption_ = std::move(c);
    notify(Prop::Caption);
}

void Menu::set_shortcut_text(std::string s) {
    if (shortcut_text_ == s) return;
    shortcut_text_ = std::move(s);
    notify(Prop::Other);
}

std::vector<Menu*> Menu::items() const {
    std::vector<Menu*> out;
    for (auto* c : children())
        if (auto* m = dynamic_cast<Menu*>(c)) out.push_back(m);
    return out;
}

Form* Menu::form() const {
    for (Container* p = parent(); p; p = p->parent())
        if (auto* f = dynamic_cast<Form*>(p)) return f;
    return nullptr;
}

void Menu::copy_from(const Menu& other) {
    copy_common_from(other);
    set_caption(other.caption_);
    set_shortcut_text(other.shortcut_text_);
}

bool reachable(const Menu& item, const Menu& root) {
    const Control* c = &item;
    if (c == &root) return false;
    while (c && c != &root) {
        if (!c->enabled() || !c->visible()) return false;
        c = c->parent();
    }
    return c == &root;
}

}  // namespace platform
