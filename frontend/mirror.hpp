#pragma once
// Mirrors the window model into Qt widgets through the model's observer: one top-level window
// per loaded form, one widget per control, each property change applied to that property only.
// The person's input goes back through the controls' user_* entry points (or, where the model
// has none for half of a gesture, the event itself after the same reachability check), each
// delivery inside an App::Dispatch.
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "frontend/widgets/context.hpp"
#include "frontend/windows.hpp"
#include "platform/control.hpp"
#include "platform/picture.hpp"

class QMenu;
class QMenuBar;

namespace platform {
class App;
class Form;
class Menu;
}  // namespace platform

namespace frontend {

class Boundary;
class QtHost;

class Mirror : public platform::ControlObserver, public WindowMap, public WidgetContext {
public:
    // Becomes the App's observer; forms loaded from now on are mirrored.
    Mirror(platform::App& app, QtHost& host);
    ~Mirror() override;
    Mirror(const Mirror&) = delete;
    Mirror& operator=(const Mirror&) = delete;

    void created(platform::Control& c) override;
    void destroyed(platform::Control& c) override;
    void changed(platform::Control& c, platform::Prop p) override;
    void rows_changed(platform::Control& c, int first, int last) override;

    // The widget of a control (a form: its top-level window); null when it has none (timers,
    // menus, dialogs) or is not mirrored.
    QWidget* widget(const platform::Control& c) const override;
    // The area below a form's menu bar, where its controls lie.
    QWidget* client_area(const platform::Form& f) const override;
    QMenuBar* menu_bar(const platform::Form& f) const;
    // Whether the control is still known (events from widgets check before touching it).
    bool alive(const platform::Control* c) const override;

    int tpp() const override;
    QtHost& host() const override { return host_; }
    Boundary& boundary() const;
    platform::App& app() const override { return app_; }

    // Runs a user action on the program.
    void deliver(const std::function<void()>& fn) const override;

    // Fills a Qt menu with the reachable items of a model menu. Submenus raise their Click as
    // they open and are filled afresh then; choosing a leaf calls on_leaf with it.
    void fill_menu(QMenu& qm, platform::Menu& m, const std::function<void(platform::Menu*)>& on_leaf) override;

    // The picture as a QImage, converted once per picture.
    QImage image_of(const platform::PicturePtr& p) override;

    struct Entry;

private:
    void build_form(platform::Form& f);
    void build_tree(platform::Container& k, platform::Form& f);
    void build(platform::Control& c);
    void apply(platform::Control& c, platform::Prop p);
    void apply_form(platform::Form& f, platform::Prop p);
    void drop_form(platform::Form& f);
    void flush_pending();
    void schedule_menu_rebuild(platform::Form& f);
    void rebuild_menu_bar(platform::Form& f);
    platform::Form* form_of(const platform::Control& c) const;

    platform::App& app_;
    QtHost& host_;
    std::unordered_map<const platform::Control*, std::unique_ptr<Entry>> entries_;
    std::set<platform::Control*> pending_;
    QTimer pending_timer_;
    std::set<platform::Form*> menus_dirty_;
    QTimer menu_timer_;
    std::map<const platform::Picture*, std::pair<std::weak_ptr<const platform::Picture>, QImage>> images_;
};

}  // namespace frontend
