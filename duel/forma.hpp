#pragma once
// The duel window: the table.
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/tcp.hpp"

namespace tw {
class Tablewright;
namespace win {

class FormA : public platform::Form {
public:
    explicit FormA(Tablewright& tw);

    // Tells the peer and the player that a procedure of this window failed.
    void sendError(const std::string& Location);

    platform::RichTextBox chat{this, "chat"};
    platform::RichTextBox chattext{this, "chattext"};
    platform::RichTextBox selectedcard{this, "selectedcard"};
    platform::Label Text1{this, "Text1"};
    platform::Label Text2{this, "Text2"};
    platform::ListBox hand{this, "hand"};
    platform::PictureBox playsurface{this, "playsurface"};
    // The pile counts: a header row and column, then five piles by "You" and "Opp".
    struct StatsGrid : platform::Grid {
        explicit StatsGrid(platform::Container* parent) : Grid(parent, "Stats") {
            set_rows(6);
            set_cols(3);
        }
    };
    StatsGrid Stats{this};
    platform::TcpSocket Winsock1;

protected:
    void Form_Load() override;

    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
