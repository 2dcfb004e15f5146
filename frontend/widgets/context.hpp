#pragma once
// What the mirror and its widgets give each other, so that no widget file includes the mirror.
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/control.hpp"
#include "platform/picture.hpp"

namespace platform {
class App;
}

namespace frontend {

class QtHost;

class WidgetContext {
public:
    virtual int tpp() const = 0;
    virtual QtHost& host() const = 0;
    virtual platform::App& app() const = 0;
    // Whether the control is still known (events from widgets check before touching it).
    virtual bool alive(const platform::Control* c) const = 0;
    // The widget of a control; null when it has none.
    virtual QWidget* widget(const platform::Control& c) const = 0;
    // Runs a user action on the program.
    virtual void deliver(const std::function<void()>& fn) const = 0;
    // The picture as a QImage, converted once per picture.
    virtual QImage image_of(const platform::PicturePtr& p) = 0;

    // Above zero while the model's state is being applied, so that widgets do not report it back.
    int applying = 0;

protected:
    ~WidgetContext() = default;
};

// How the mirror reaches a control's widget: the widget, how a property change is applied to
// it, a grid's changed rows, and how it lets go of its control. Each widget family's build_*
// function makes the widget of one control under `parent` and fills this in.
struct Binding {
    QPointer<QWidget> widget;
    std::function<void(platform::Prop)> apply;
    std::function<void(int, int)> rows;  // a grid's changed rows
    std::function<void()> detach;
};

}  // namespace frontend
