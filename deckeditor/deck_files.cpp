#include "deckeditor/deck_files.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/patterns.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::string_view kMarker = "-SIDE DECK-";
constexpr std::string_view kCrLf = "\r\n";

// One line of a deck file as the reader sees it.
struct FileLine {
    enum class Kind { Other, Comment, Marker, Card, OneBar } kind = Kind::Other;
    long long count = 1;  // a count that is no number stands for one copy
    std::string set, name;
    // Set code, blank, name: what tells one printing from another, exactly as the deck list
    // will show it. A set code holding a blank thus means what the list line will mean.
    std::string key() const { return set + " " + name; }
};

FileLine Classify(const std::string& line) {
    FileLine f;
    if (line.rfind("//", 0) == 0) {
        f.kind = FileLine::Kind::Comment;
        return f;
    }
    if (line == kMarker) {
        f.kind = FileLine::Kind::Marker;
        return f;
    }
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos) return f;
    const std::size_t bar2 = line.find('|', bar + 1);
    if (bar2 == std::string::npos) {
        f.kind = FileLine::Kind::OneBar;
        return f;
    }
    f.kind = FileLine::Kind::Card;
    const std::string head = line.substr(0, bar);
    if (IsNumber(head)) f.count = static_cast<long long>(std::nearbyint(rt::val(head)));
    f.set = line.substr(bar + 1, bar2 - bar - 1);
    f.name = line.substr(bar2 + 1);
    return f;
}

// Lines ended by CR LF, a bare LF or a bare CR alike: editors on every system write one of them.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find_first_of("\r\n", from);
        if (at == std::string::npos) {
            lines.push_back(text.substr(from));
            return lines;
        }
        lines.push_back(text.substr(from, at - from));
        from = at + (text.compare(at, kCrLf.size(), kCrLf) == 0 ? kCrLf.size() : 1);
    }
}

// A byte no text editor puts into a deck: a control character other than tab, CR and LF.
bool HoldsControlBytes(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 32 && c != '\t' && c != '\r' && c != '\n';
    });
}

}  // namespace

DeckFileRead ReadDeckText(Tablewright& tw, const std::string& file_text) {
    DeckFileRead out;
    // An empty deck is saved as an empty file.
    if (file_text.empty()) {
        out.status = DeckFileRead::Status::Loaded;
        out.lines.emplace_back(kMarker);
        return out;
    }
    // Binary data is no deck, whatever lines it happens to hold.
    if (HoldsControlBytes(file_text)) return out;
    // Empty lines are passed over below, so they need no line of their own.
    const std::vector<std::string> raw = SplitLines(file_text);
    tw.errors.LineMarker = "12";

    std::vector<FileLine> lines;
    lines.reserve(raw.size());
    bool has_card = false, has_note = false, has_other = false;
    for (const std::string& line : raw) {
        lines.push_back(Classify(line));
        switch (lines.back().kind) {
            case FileLine::Kind::OneBar:
                out.status = DeckFileRead::Status::Error;
                return out;
            case FileLine::Kind::Card: has_card = true; break;
            case FileLine::Kind::Comment:
            case FileLine::Kind::Marker: has_note = true; break;
            case FileLine::Kind::Other: has_other = has_other || !rt::trim(line).empty(); break;
        }
    }
    // A file of no card line is a deck only when it is what the writer makes of a list without
    // cards: comments and the marker, nothing else.
    if (!has_card && (!has_note || has_other)) return out;

    // The first marker divides deck from side deck, as it does in the list built below; a file
    // without one is all deck, every line of it summed.
    std::size_t d = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == FileLine::Kind::Marker) {
            d = i;
            break;
        }

    // Repeated lines of one side go into the first of them.
    tw.errors.LineMarker = "13";
    std::vector<bool> gone(lines.size(), false);
    std::unordered_map<std::string, std::size_t> first_deck, first_side;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == d || lines[i].kind != FileLine::Kind::Card) continue;
        auto& firsts = i < d ? first_deck : first_side;
        const auto [at, fresh] = firsts.try_emplace(lines[i].key(), i);
        if (fresh) continue;
        lines[at->second].count += lines[i].count;
        gone[i] = true;
    }

    // Deck and side deck together hold at most three copies of a printing; the deck gives way.
    tw.errors.LineMarker = "14";
    for (const auto& [key, x] : first_deck) {
        const auto y = first_side.find(key);
        if (y == first_side.end()) continue;
        const long long side = lines[y->second].count;
        if (lines[x].count + side <= 2) continue;
        lines[x].count = 3 - side;
        if (lines[x].count < 1) gone[x] = true;
    }

    tw.errors.LineMarker = "15";
    bool marker_added = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (gone[i] || raw[i].empty()) continue;
        const FileLine& f = lines[i];
        switch (f.kind) {
            case FileLine::Kind::Comment:
                out.lines.push_back(raw[i]);
                break;
            case FileLine::Kind::Marker:
                if (!marker_added) out.lines.emplace_back(kMarker);
                marker_added = true;
                break;
            case FileLine::Kind::Card: {
                tw.errors.LineMarker = "16";
                // The ban list is asked for the name the list line will carry.
                const std::size_t blank = f.set.find(' ');
                const std::string name =
                    blank == std::string::npos ? f.name : f.set.substr(blank + 1) + " " + f.name;
                const long long count = std::min<long long>(f.count, GetBanStatus(tw, name));
                if (count >= 1) out.lines.push_back(std::to_string(count) + " " + f.key());
                break;
            }
            default:
                break;
        }
    }
    if (!marker_added) out.lines.emplace_back(kMarker);
    out.status = DeckFileRead::Status::Loaded;
    return out;
}

std::string DeckFileText(const std::vector<std::string>& list_lines) {
    const bool side_empty = !list_lines.empty() && list_lines.back() == kMarker;
    std::vector<std::string> written(list_lines.size());
    for (std::size_t i = 0; i < list_lines.size(); ++i) {
        const std::string& line = list_lines[i];
        if (line == kMarker) {
            if (side_empty) break;
            written[i] = line;
        } else if (!line.empty() && line[0] == '/') {
            // Comments are the player's own text: kept byte for byte.
            written[i] = line;
        } else {
            // count, set code, name: only the two blanks that part them become "|", so a
            // name keeps its blanks whatever the count's width. Blanks at the end belong to
            // the name (or stand for an empty one) and are kept.
            std::string w = line.substr(std::min(line.find_first_not_of(' '), line.size()));
            std::size_t at = 0;
            for (int k = 0; k < 2; ++k) {
                at = w.find(' ', at);
                if (at == std::string::npos) break;
                w[at++] = '|';
            }
            written[i] = std::move(w);
        }
    }
    std::string text;
    for (std::size_t i = 0; i < written.size(); ++i) {
        if (i) text += kCrLf;
        text += written[i];
    }
    text = rt::replace_all(text, "\r\n\r\n", kCrLf);
    // The file is read back with every "&amp;" turned into "&", so a name that holds that text
    // itself must be written so that it comes back.
    return rt::replace_all(text, "&amp;", "&amp;amp;");
}

std::string DeckSavePath(const std::string& chosen) {
    return chosen.find(".dek") == std::string::npos ? chosen + ".dek" : chosen;
}

namespace win {

namespace {
std::filesystem::path DeckPath(const Tablewright& tw, const std::string& name) {
    return platform::resolve(tw.folder(), std::filesystem::path(name));
}

// The dialogs start where the deck file list looks, the decks folder stored by the first run,
// so that a saved deck shows in the list (the process's working folder may be anywhere).
std::string DecksFolder(Tablewright& tw) {
    const std::string stored = ReadSetting(tw, std::string(setting_key::decks));
    if (!rt::trim(stored).empty()) {
        const auto folder = DeckPath(tw, stored);
        if (platform::folder_exists(folder)) return folder.string();
    }
    return tw.path_of("decks").string();
}
}  // namespace

bool DeckMaker::WireDeckFiles() {
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    File1.DblClick = [this] { File1_DblClick(); };
    File1.MouseDown = [this](int b, int s, double x, double y) { File1_MouseDown(b, s, x, y); };
    return true;
}

void DeckMaker::LoadDeck(const std::string& DeckName) {
    tw_.errors.LineMarker = "110";
    if (DeckName.empty()) return;
    const auto path = DeckPath(tw_, DeckName);
    if (!FileExists(path)) return;
    // A file that cannot be read is no empty deck; one far larger than any deck is refused before
    // it costs a read.
    const std::optional<std::string> text = ReadFileTextIfReadable(path, kMaxDeckFileBytes);
    const DeckFileRead read =
        text ? ReadDeckText(tw_, *text) : DeckFileRead{DeckFileRead::Status::Invalid, {}};
    switch (read.status) {
        case DeckFileRead::Status::Invalid:
            ShowMessageDirect(tw_, "Invalid Deck File");
            return;
        case DeckFileRead::Status::Error:
            // The list stays as it was rather than half replaced.
            tw_.app.msg_box("Error loading this deck", platform::MsgButtons::OK,
                            platform::MsgIcon::None, "Tablewright");
            return;
        case DeckFileRead::Status::Loaded:
            break;
    }
    List1.clear();
    for (const std::string& line : read.lines) List1.add_item(line);
    tw_.errors.LineMarker = "17";
    ComputeDeckAmount();
    MarkDeckSaved();
}

void DeckMaker::Command1_Click() {
    try {
        RefreshDeckFiles();
        if (!TurnOffOnlineDeck()) return;
        comm1.filter = "*.dek";
        comm1.init_dir = DecksFolder(tw_);
        comm1.cancel_error = true;
        if (!comm1.show_open() || comm1.file_name.empty()) return;
        const std::string chosen = comm1.file_name;
        LoadDeck(chosen);
        tw_.editor.LastDeckPath = chosen;
        WriteSetting(tw_, std::string(setting_key::lastdeck), chosen);
    } catch (const std::exception&) {
    }
}

void DeckMaker::Command2_Click() {
    try {
        comm1.filter = "*.dek";
        comm1.cancel_error = true;
        comm1.init_dir = DecksFolder(tw_);
        comm1.file_name = ReadSetting(tw_, std::string(setting_key::lastdeck));
        if (!comm1.show_save() || comm1.file_name.empty()) return;
        const std::string path = DeckSavePath(comm1.file_name);
        if (!WriteFileText(DeckFileText(List1.items()), DeckPath(tw_, path))) {
            ShowMessageDirect(tw_, "The deck could not be saved.");
            return;
        }
        MarkDeckSaved();
        WriteSetting(tw_, std::string(setting_key::lastdeck), path);
        File1.refresh();
    } catch (const std::exception&) {
    }
}

void DeckMaker::File1_DblClick() {
    if (tw_.app.msg_box("Are you sure you want to load this deck?", platform::MsgButtons::YesNo,
                        platform::MsgIcon::None, "Tablewright") != platform::MsgResult::Yes)
        return;
    if (File1.file_name().empty()) return;
    const std::string path = (File1.path() / File1.file_name()).string();
    LoadDeck(path);
    tw_.editor.LastDeckPath = path;
    WriteSetting(tw_, std::string(setting_key::lastdeck), path);
}

void DeckMaker::File1_MouseDown(int, int, double, double) {}

}  // namespace win
}  // namespace tw
