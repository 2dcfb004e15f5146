#pragma once
// The window that runs while the set file is read into the card database, then hands over to
// the deck editor (whose load unloads this window).
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;
namespace win {

class LoadSet : public platform::Form {
public:
    explicit LoadSet(Tablewright& tw);

    platform::Label Label1{this, "Label1"};
    platform::Label Label2{this, "Label2"};
    platform::ProgressBar ProgressBar1{this, "ProgressBar1"};

    // The load's work between showing this window and the deck editor: the set file into the
    // card database, with the progress shown here. A missing set file ends the program.
    void ReadSetFile();

protected:
    void Form_Load() override;

    Tablewright& tw_;

private:
    void ShowProgress(int percent);
};

}  // namespace win
}  // namespace tw
