#include "frontend/mirror.hpp"

#include <cstring>

#include "frontend/boundary.hpp"
#include "frontend/qt_host.hpp"
#include "frontend/widgets/bar.hpp"
#include "frontend/widgets/base.hpp"
#include "frontend/widgets/button.hpp"
#include "frontend/widgets/combo.hpp"
#include "frontend/widgets/folder_list.hpp"
#include "frontend/widgets/form_window.hpp"
#include "frontend/widgets/frame.hpp"
#include "frontend/widgets/grid.hpp"
#include "frontend/widgets/label.hpp"
#include "frontend/widgets/list.hpp"
#include "frontend/widgets/menu.hpp"
#include "frontend/widgets/paint.hpp"
#include "frontend/widgets/rich_text.hpp"
#include "frontend/widgets/text_input.hpp"
#include "platform/app.hpp"
#include "platform/controls.hpp"
#include "platform/dialog.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/menu.hpp"
#include "platform/timer.hpp"

namespace frontend {

using platform::Prop;

struct Mirror::Entry : Binding {
    platform::Form* form = nullptr;
    bool is_form = false;
    bool is_menu = false;
};

namespace {

// Keeps programmatic updates from being taken for the person's.
struct Applying {
    Mirror& m;
    explicit Applying(Mirror& mirror) : m(mirror) { ++m.applying; }
    ~Applying() { --m.applying; }
};

}  // namespace

Mirror::Mirror(platform::App& app, QtHost& host) : app_(app), host_(host) {
    app_.observer = this;
    host_.set_mirror(this);
    host_.boundary().app = &app_;
    pending_timer_.setSingleShot(true);
    QObject::connect(&pending_timer_, &QTimer::timeout, [this] { flush_pending(); });
    menu_timer_.setSingleShot(true);
    QObject::connect(&menu_timer_, &QTimer::timeout, [this] {
        auto dirty = std::move(menus_dirty_);
        menus_dirty_.clear();
        for (auto* f : dirty)
            if (alive(f)) rebuild_menu_bar(*f);
    });
    // Forms loaded before the mirror existed.
    for (auto* f : app_.forms()) {
        if (f->loaded() && !f->own_observer()) {
            f->set_observer(this);
            created(*f);
        }
    }
}

Mirror::~Mirror() {
    if (app_.observer == this) app_.observer = nullptr;
    if (host_.mirror() == this) host_.set_mirror(nullptr);
    for (auto* f : app_.forms())
        if (f->own_observer() == this) f->set_observer(nullptr);
    for (auto& [c, e] : entries_) {
        if (e->detach) e->detach();
        if (e->is_form && e->widget) delete e->widget.data();
    }
}

Boundary& Mirror::boundary() const { return host_.boundary(); }

int Mirror::tpp() const { return host_.twips_per_pixel(); }

void Mirror::deliver(const std::function<void()>& fn) const { boundary().call(fn, true); }

bool Mirror::alive(const platform::Control* c) const { return c && entries_.count(c) != 0; }

QWidget* Mirror::widget(const platform::Control& c) const {
    auto it = entries_.find(&c);
    return it == entries_.end() ? nullptr : it->second->widget.data();
}

QWidget* Mirror::client_area(const platform::Form& f) const {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    return w ? w->client : nullptr;
}

QMenuBar* Mirror::menu_bar(const platform::Form& f) const {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    return w ? w->bar : nullptr;
}

platform::Form* Mirror::form_of(const platform::Control& c) const { return form_above(c); }

void Mirror::created(platform::Control& c) {
    // A form announces itself once complete; any other control while its constructor has only
    // begun, so it is built later.
    if (c.parent() == nullptr) {
        if (auto* f = dynamic_cast<platform::Form*>(&c)) build_form(*f);
        return;
    }
    pending_.insert(&c);
    if (!pending_timer_.isActive()) pending_timer_.start(0);
}

void Mirror::flush_pending() {
    while (!pending_.empty()) {
        platform::Control* c = *pending_.begin();
        pending_.erase(pending_.begin());
        build(*c);
    }
}

void Mirror::destroyed(platform::Control& c) {
    // Called while c is being torn down: only its address may be used.
    pending_.erase(&c);
    auto it = entries_.find(&c);
    if (it == entries_.end()) return;
    if (it->second->is_form) {
        drop_form(*it->second->form);
        return;
    }
    std::unique_ptr<Entry> e = std::move(it->second);
    entries_.erase(it);
    if (e->detach) e->detach();
    if (e->is_menu && e->form && alive(e->form)) schedule_menu_rebuild(*e->form);
    if (e->widget) {
        e->widget->hide();
        e->widget->deleteLater();
    }
}

void Mirror::drop_form(platform::Form& f) {
    QPointer<QWidget> window;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second->form == &f) {
            if (it->second->detach) it->second->detach();
            if (it->second->is_form) window = it->second->widget;
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    menus_dirty_.erase(&f);
    // The window may be the one whose event handler is running now.
    if (window) {
        window->hide();
        window->deleteLater();
    }
}

void Mirror::build_form(platform::Form& f) {
    if (entries_.count(&f)) return;
    auto* w = new FormWindow(*this, f);
    auto e = std::make_unique<Entry>();
    e->form = &f;
    e->is_form = true;
    e->widget = w;
    e->detach = [w = QPointer<FormWindow>(w)] {
        if (w) w->detach();
    };
    e->apply = [this, &f](Prop p) { apply_form(f, p); };
    entries_[&f] = std::move(e);
    build_tree(f, f);
    {
        Applying quiet(*this);
        apply_form(f, Prop::Other);
    }
    rebuild_menu_bar(f);
}

void Mirror::build_tree(platform::Container& k, platform::Form& f) {
    for (auto* c : k.children()) {
        pending_.erase(c);
        build(*c);
        if (auto* sub = dynamic_cast<platform::Container*>(c)) build_tree(*sub, f);
    }
}

void Mirror::build(platform::Control& c) {
    if (entries_.count(&c)) return;
    platform::Form* f = form_of(c);
    if (!f || !entries_.count(f)) return;
    if (c.parent() && c.parent() != f && !entries_.count(c.parent())) {
        pending_.erase(c.parent());
        build(*c.parent());
    }
    QWidget* parent = nullptr;
    if (c.parent() == f) parent = client_area(*f);
    else if (c.parent()) parent = widget(*c.parent());

    auto e = std::make_unique<Entry>();
    e->form = f;
    Entry& entry = *e;
    entries_[&c] = std::move(e);

    if (auto* menu = dynamic_cast<platform::Menu*>(&c)) {
        (void)menu;
        entry.is_menu = true;
        entry.apply = [this, f](Prop) { schedule_menu_rebuild(*f); };
        schedule_menu_rebuild(*f);
        return;
    }
    if (!parent) return;

    if (auto* x = dynamic_cast<platform::Label*>(&c)) {
        build_label(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::TextBox*>(&c)) {
        build_text_box(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::RichTextBox*>(&c)) {
        build_rich_text(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::ListBox*>(&c)) {
        build_list_box(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::FileListBox*>(&c)) {
        build_file_list(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::ComboBox*>(&c)) {
        build_combo_box(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::CheckBox*>(&c)) {
        build_check_box(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::OptionButton*>(&c)) {
        build_option_button(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::CommandButton*>(&c)) {
        build_command_button(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::Frame*>(&c)) {
        build_frame(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::HScrollBar*>(&c)) {
        build_scroll_bar(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::ProgressBar*>(&c)) {
        build_progress_bar(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::PictureBox*>(&c)) {
        build_picture_box(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::Image*>(&c)) {
        build_image(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::Shape*>(&c)) {
        build_shape(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::Grid*>(&c)) {
        build_grid(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::DirListBox*>(&c)) {
        build_dir_list(*this, entry, x, parent);
    } else if (auto* x = dynamic_cast<platform::DriveListBox*>(&c)) {
        build_drive_list(*this, entry, x, parent);
    } else if (dynamic_cast<platform::Timer*>(&c) || dynamic_cast<platform::CommonDialog*>(&c)) {
        return;  // nothing to see
    } else {
        // A control the mirror does not know: its place stays empty.
        return;
    }
    if (graphical(c) && entry.widget) {
        entry.widget->setProperty(kGraphical, true);
        raise_in_layer(*entry.widget);
    }
    Applying quiet(*this);
    entry.apply(Prop::Other);
}

void Mirror::rows_changed(platform::Control& c, int first, int last) {
    if (pending_.erase(&c)) {
        build(c);
        return;
    }
    auto it = entries_.find(&c);
    if (it == entries_.end()) return;
    Applying quiet(*this);
    if (it->second->rows) it->second->rows(first, last);
    else if (it->second->apply) it->second->apply(Prop::Cells);
}

void Mirror::changed(platform::Control& c, Prop p) {
    if (pending_.erase(&c)) {
        build(c);
        return;
    }
    auto it = entries_.find(&c);
    if (it == entries_.end() || !it->second->apply) return;
    Applying quiet(*this);
    it->second->apply(p);
}

void Mirror::apply_form(platform::Form& f, Prop p) {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    if (!w) return;
    apply_form_window(*this, w, f, p);
}

void Mirror::schedule_menu_rebuild(platform::Form& f) {
    menus_dirty_.insert(&f);
    if (!menu_timer_.isActive()) menu_timer_.start(0);
}

void Mirror::rebuild_menu_bar(platform::Form& f) {
    auto* w = dynamic_cast<FormWindow*>(widget(f));
    if (!w) return;
    fill_menu_bar(*this, w, f);
}

void Mirror::fill_menu(QMenu& qm, platform::Menu& m, const std::function<void(platform::Menu*)>& on_leaf) {
    fill_qmenu(*this, qm, m, on_leaf);
}

QImage Mirror::image_of(const platform::PicturePtr& p) {
    if (!p || p->width <= 0 || p->height <= 0) return {};
    auto it = images_.find(p.get());
    if (it != images_.end() && !it->second.first.expired() && it->second.first.lock() == p) return it->second.second;
    if (images_.size() > 256) {
        for (auto k = images_.begin(); k != images_.end();) k = k->second.first.expired() ? images_.erase(k) : std::next(k);
    }
    QImage img(p->width, p->height, QImage::Format_ARGB32);
    const std::size_t row = static_cast<std::size_t>(p->width);
    if (p->pixels.size() >= row * static_cast<std::size_t>(p->height)) {
        for (int y = 0; y < p->height; ++y)
            std::memcpy(img.scanLine(y), p->pixels.data() + row * static_cast<std::size_t>(y), row * 4);
    } else {
        img.fill(Qt::transparent);
    }
    images_[p.get()] = {p, img};
    return img;
}

}  // namespace frontend
