// Tablewright: the card table.
#include <memory>

#include "cards/main.hpp"
#include "program/tablewright.hpp"
#include "frontend/program.hpp"

int main(int argc, char** argv) {
    return frontend::run_program(argc, argv, "Tablewright", [](platform::App& app) {
        auto tw = std::make_shared<tw::Tablewright>(app);
        tw::Main(*tw);
        return std::shared_ptr<void>(tw);
    }, "Tablewright is already running.");
}
