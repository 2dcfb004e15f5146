#pragma once
// Moving a window that has no system title bar by pressing on its title picture and dragging.
#include <cstdint>

#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/rt.hpp"

namespace tw {

class TitleDrag {
public:
    // Where the button went down, in the title picture's twips, rounded to whole twips. A press
    // point beyond the 16-bit range starts no drag.
    void press(double x, double y) {
        std::int16_t gx = 0, gy = 0;
        if (!rt::try_step([&] {
                gx = rt::cint16(x);
                gy = rt::cint16(y);
            }))
            return;
        grab_x_ = gx;
        grab_y_ = gy;
        dragging_ = true;
    }
    // While dragging, the window follows the pointer so that the grabbed point stays under it.
    void follow(platform::Form& window, double x, double y) const {
        if (dragging_) window.move(window.left() + x - grab_x_, window.top() + y - grab_y_);
    }
    void release() { dragging_ = false; }
    bool dragging() const { return dragging_; }

    // The title text lies on the title picture: a press on it drags the window as well, with
    // the label's points taken into the picture's twips.
    void carry(platform::Label& title, const platform::Image& picture, platform::Form& window) {
        auto dx = [&title, &picture] { return title.left() - picture.left(); };
        auto dy = [&title, &picture] { return title.top() - picture.top(); };
        title.MouseDown = [this, dx, dy](int, int, double x, double y) { press(x + dx(), y + dy()); };
        title.MouseMove = [this, dx, dy, &window](int, int, double x, double y) {
            follow(window, x + dx(), y + dy());
        };
        title.MouseUp = [this](int, int, double, double) { release(); };
    }

private:
    bool dragging_ = false;
    std::int16_t grab_x_ = 0;
    std::int16_t grab_y_ = 0;
};

}  // namespace tw
