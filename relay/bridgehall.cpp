#include "relay/bridgehall.hpp"

#include "cards/random_int.hpp"
#include "relay/form1.hpp"

namespace bh {

Bridgehall::Bridgehall(platform::App& a)
    : app(a), Form1([this] { return std::make_unique<win::Form1>(*this); }) {
    if (app.title.empty()) app.title = std::string(kTitle);
    draw_offsets = [this] {
        Offsets o{};
        for (int& x : o) x = 32 + tw::RandomInt(random, app.clock(), 1, 9);
        return o;
    };
}

Bridgehall::~Bridgehall() {
    for (auto& link : links)
        if (link.probation_timer) app.reactor().cancel_timer(link.probation_timer);
}

void Main(Bridgehall& bh) { bh.Form1().show(); }

}  // namespace bh
