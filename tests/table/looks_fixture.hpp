#pragma once
// A table by hand with the real pile viewer window: the piles set up by name, the viewer opened
// on a mode, its rows and their selection, and the census of where every card lies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "table/pile_viewer.hpp"
#include "tests/table/by_hand_fixture.hpp"

namespace tw::test {

struct LooksTable : ByHandTable {
    LooksTable() {
        UsePileViewerWindow(tw);
        tw.piles.DeckLoaded = true;
        duel.gameplay.set_enabled(true);
    }

    win::View& Viewer() { return tw.view(); }
    Lines Rows() { return Viewer().List2.items(); }
    bool Shown() { return tw.view.loaded() && Viewer().visible(); }

    // Opens the viewer on a mode as a look does, and forgets what that wrote and sent.
    win::View& Open(const std::string& mode) {
        tw.view.unload();
        tw.piles.PileViewMode = mode;
        auto& v = tw.view();
        v.show(&duel);
        Quiet();
        return v;
    }
    void SelectRow(const std::string& row) {
        const auto& items = Rows();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == row) return Viewer().List2.set_list_index(static_cast<int>(i));
        FAIL() << row << " is not a row";
    }
    void SelectHand(const std::string& name) {
        const auto& items = duel.hand.items();
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == name) return duel.hand.set_list_index(static_cast<int>(i));
        FAIL() << name << " is not in the hand";
    }
    std::vector<std::string> Notices() {
        std::vector<std::string> out;
        for (const auto& m : fx.host.messages()) out.push_back(m.text);
        return out;
    }
    // Every card of the own piles and the field, counted by place.
    std::map<std::string, int> Counts() {
        std::map<std::string, int> counts;
        for (const auto& [name, places] : Where())
            for (const auto& place : places) ++counts[place];
        return counts;
    }
};

struct Looks : ::testing::Test, LooksTable {};

}  // namespace tw::test
