// Scrollkeep: the game-log viewer.
#include <memory>

#include "frontend/program.hpp"
#include "scrollkeep/scrollkeep.hpp"

int main(int argc, char** argv) {
    return frontend::run_program(argc, argv, "Scrollkeep", [](platform::App& app) {
        auto sk = std::make_shared<sk::Scrollkeep>(app);
        sk::Main(*sk);
        return std::shared_ptr<void>(sk);
    });
}
