#include "scrollkeep/scrollkeep.hpp"

#include "scrollkeep/form1.hpp"

namespace sk {

Scrollkeep::Scrollkeep(platform::App& a)
    : app(a), Form1([this] { return std::make_unique<win::Form1>(*this); }) {
    if (app.title.empty()) app.title = std::string(kTitle);
}

Scrollkeep::~Scrollkeep() = default;

void Main(Scrollkeep& sk) { sk.Form1().show(); }

}  // namespace sk
