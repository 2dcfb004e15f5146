#include "cards/loadset.hpp"

#include <string>

#include "cards/card_lookup.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/rt.hpp"

namespace tw::win {

LoadSet::LoadSet(Tablewright& tw) : platform::Form(tw.app, "LoadSet"), tw_(tw) {
    set_caption("Loading Set File");
    move(3600, 3000, 4800, 1605);
    Label1.move(240, 180, 3240, 255);
    Label2.move(3600, 180, 840, 255);
    ProgressBar1.move(240, 540, 4200, 330);
    Label1.set_caption("Loading");
    Label2.set_caption("0%");
    ProgressBar1.set_min(0);
    ProgressBar1.set_max(100);
}

void LoadSet::ShowProgress(int percent) {
    Label2.set_caption(rt::cstr(percent) + "%");
    ProgressBar1.set_value(percent);
    tw_.app.do_events();
}

void LoadSet::Form_Load() {
    show();  // on screen while the file is read
    ReadSetFile();
    tw_.DeckMaker().show();
}

void LoadSet::ReadSetFile() {
    const auto file = tw_.path_of(SetFileName(tw_.app.command));
    // A set file that cannot be read leaves the program without cards just as a missing one.
    auto text = FileExists(file) ? ReadFileTextIfReadable(file) : std::nullopt;
    if (!text) {
        ShowMessageDirect(tw_, "I cannot find the Main Card List. Program Closing.");
        tw_.app.end();
    }

    tw_.cards.SetCodes.assign(1, std::string());
    tw_.cards.CardDatabase = ParseSetFile(std::move(*text), [this](int p) { ShowProgress(p); });
    IndexCardDatabase(tw_);
    // The result grid lists by name: ranked once here, not at every search.
    tw_.cards.CardDatabase.NameOrder();
}

}  // namespace tw::win
