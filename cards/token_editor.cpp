#include "cards/token_editor.hpp"

#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <string>
#include <vector>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "cards/token_files.hpp"
#include "platform/files.hpp"

namespace tw::win {

FrmTokens::FrmTokens(Tablewright& tw) : platform::Form(tw.app, "frmTokens"), tw_(tw) {
    set_caption("Token Editor");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 7260, 5700);

    List1.move(120, 120, 2400, 3900);
    constexpr double kLabelX = 2640, kLabelW = 1080, kBoxX = 3780, kBoxW = 3240, kRowH = 315;
    struct Row {
        platform::Label& label;
        const char* caption;
        platform::TextBox& box;
    };
    double y = 120;
    for (const Row& r : {Row{Label1, "Name:", Text1}, Row{Label2, "Type:", Text2},
                         Row{Label4, "Attribute:", Text3}, Row{Label3, "Level:", Text4},
                         Row{Label5, "Attack:", Text5}, Row{Label7, "Defense:", Text6},
                         Row{Label6, "Description:", Text7}}) {
        r.label.set_caption(r.caption);
        r.label.move(kLabelX, y + 45, kLabelW, 255);
        r.box.move(kBoxX, y, kBoxW, kRowH);
        y += 390;
    }
    Text7.set_multi_line(true);
    Text7.set_height(4020 - Text7.top());

    double x = 120;
    for (auto [button, caption] : {std::pair{&Command1, "New Token"}, std::pair{&Command2, "Remove Token"},
                                   std::pair{&Command3, "Save Changes"},
                                   std::pair{&Command4, "Cancel Changes"}}) {
        button->set_caption(caption);
        button->move(x, 4140, 1620, 375);
        x += 1740;
    }
    Label8.set_caption(
        "Once you click 'Save Changes', you'll need to restart ZQM for changes to take effect.");
    Label8.move(120, 4620, 6900, 420);

    List1.Click = [this] { List1_Click(); };
    Text1.GotFocus = [this] { Text1_GotFocus(); };
    Text1.LostFocus = [this] { Text1_LostFocus(); };
    Text2.Change = [this] { Store(&Card::Group, Text2); };
    Text3.Change = [this] { Store(&Card::Attribute, Text3); };
    Text4.Change = [this] { Store(&Card::Level, Text4); };
    Text5.Change = [this] { Store(&Card::Atk, Text5); };
    Text6.Change = [this] { Store(&Card::Def, Text6); };
    Text7.Change = [this] { Store(&Card::Desc, Text7); };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command4.Click = [this] { Command4_Click(); };
}

void FrmTokens::initialize() {
    List1.clear();
    List1.set_enabled(true);
    ShowToken(-1);
    // One more than the table holds is read, only to know that the file holds more.
    std::vector<Card> tokens = ReadTokenFile(tw_, kMaxTokens + 1).value_or(std::vector<Card>{});
    const bool cut = tokens.size() > static_cast<std::size_t>(kMaxTokens);
    if (cut) tokens.resize(kMaxTokens);

    TokenRecords.fill(Card{});
    LastTokenIndex = static_cast<std::int16_t>(tokens.size()) - 1;
    SelectedToken = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        TokenRecords[i] = tokens[i];
        List1.add_item(tokens[i].Name);
    }
    if (List1.list_count() > 0) List1.set_list_index(0);
    if (cut) ShowMessage(tw_, "Only the first 50 tokens were loaded.");
}

void FrmTokens::ShowToken(int place) {
    static const Card kNone;
    const Card& t = place >= 0 && place <= LastTokenIndex ? TokenRecords[place] : kNone;
    filling_ = true;
    Text1.set_text(t.Name);
    Text2.set_text(t.Group);
    Text3.set_text(t.Attribute);
    Text4.set_text(t.Level);
    Text5.set_text(t.Atk);
    Text6.set_text(t.Def);
    Text7.set_text(t.Desc);
    filling_ = false;
}

void FrmTokens::List1_Click() {
    const int i = List1.list_index();
    if (i < 0 || i > LastTokenIndex) return;
    SelectedToken = static_cast<std::int16_t>(i);
    ShowToken(i);
}

void FrmTokens::Store(std::string Card::*field, const platform::TextBox& box) {
    // With no entry selected the boxes belong to no token.
    if (filling_ || List1.list_index() < 0 || SelectedToken > LastTokenIndex) return;
    TokenRecords[SelectedToken].*field = box.text();
}

// The list stays out of reach while a name is typed, so the entry being renamed cannot change.
void FrmTokens::Text1_GotFocus() { List1.set_enabled(false); }

void FrmTokens::Text1_LostFocus() {
    const int i = List1.list_index();
    List1.set_enabled(true);
    if (i < 0 || i > LastTokenIndex) return;
    TokenRecords[i].Name = Text1.text();
    List1.set_list(i, Text1.text());
    SelectedToken = static_cast<std::int16_t>(i);
}

void FrmTokens::Command1_Click() {
    if (LastTokenIndex >= kMaxTokens - 1) {
        ShowMessage(tw_, "No more than 50 tokens are allowed.");
        return;
    }
    ++LastTokenIndex;
    // A fresh record: a place freed by a removal still holds the last token's old fields.
    TokenRecords[LastTokenIndex] = Card{};
    TokenRecords[LastTokenIndex].Name = "New Token";
    List1.add_item("New Token");
}

void FrmTokens::Command2_Click() {
    const int i = List1.list_index();
    if (i < 0 || i > LastTokenIndex) return;
    for (int k = i; k < LastTokenIndex; ++k) TokenRecords[k] = TokenRecords[k + 1];
    TokenRecords[LastTokenIndex] = Card{};
    --LastTokenIndex;
    List1.remove_item(i);
    if (List1.list_count() > 0)
        List1.set_list_index(List1.list_count() - 1);
    else
        ShowToken(-1);
}

bool FrmTokens::Save() {
    std::vector<Card> tokens(TokenRecords.begin(), TokenRecords.begin() + (LastTokenIndex + 1));
    std::vector<std::string> names;
    for (const Card& t : tokens) names.push_back(t.Name);
    const auto token_file = TokenFilePath(tw_);
    // The token file goes first: a save cut off between the two files leaves the old list beside
    // the new tokens, and the Tokens menu offers only the names the token file holds.
    // Should the list fail, the token file gets its old text back, so the two stay one save.
    std::error_code ec;
    const bool had_tokens = std::filesystem::symlink_status(token_file, ec).type() != std::filesystem::file_type::not_found;
    const std::optional<std::string> old_tokens = platform::read_file(token_file);
    if (had_tokens && !old_tokens) return false;  // what could not be read could not be put back
    if (!platform::write_file_atomic(token_file, TokenFileText(tokens))) return false;
    if (platform::write_file_atomic(TokenListPath(tw_), TokenListText(names))) return true;
    if (old_tokens)
        platform::write_file_atomic(token_file, *old_tokens);
    else
        std::filesystem::remove(token_file, ec);
    return false;
}

void FrmTokens::Command3_Click() {
    if (!Save()) {
        ShowMessage(tw_, "The token files could not be written.");
        return;
    }
    const auto answer = tw_.app.msg_box("Would you like to restart ZQM now?", platform::MsgButtons::YesNo,
                                        platform::MsgIcon::None, "Tablewright " + tw_.VersionText);
    if (answer == platform::MsgResult::Yes)
        Restart();
    else
        hide();
}

void FrmTokens::Restart() {
    if (StartProgramOfFolder(tw_, "Tablewright.exe")) tw_.app.end();
    // Ending without a new copy running would leave the player with no program at all.
    ShowMessage(tw_, "Tablewright could not be started again. Start it yourself to use the new tokens.");
    hide();
}

void FrmTokens::Command4_Click() { hide(); }

}  // namespace tw::win
