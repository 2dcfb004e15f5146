// Bridgehall: the duel relay.
#include <memory>

#include "frontend/program.hpp"
#include "relay/bridgehall.hpp"

int main(int argc, char** argv) {
    return frontend::run_program(argc, argv, "Bridgehall", [](platform::App& app) {
        auto bh = std::make_shared<bh::Bridgehall>(app);
        bh::Main(*bh);
        return std::shared_ptr<void>(bh);
    });
}
