#include "deckeditor/deck_files.hpp"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <string_view>

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "cards/patterns.hpp"
#include "cards/settings.hpp"
#include "cards/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMarker = "-SIDE DECK-";
constexpr std::string_view kCrLf = "\r\n";

// A card line of the file: its count text and its text from the first "|" on.
struct FileLine {
    bool numbered = false;
    long long count = 0;
    std::string tail;
};

FileLine Split(const std::string& line) {
    FileLine f;
    const std::size_t bar = line.find('|');
    if (bar == std::string::npos) return f;
    f.tail = line.substr(bar);
    const std::string head = line.substr(0, bar);
    if (IsNumber(head)) {
        f.numbered = true;
        f.count = static_cast<long long>(std::nearbyint(rt::val(head)));
    }
    return f;
}

}  // namespace

DeckFileRead ReadDeckText(Tablewright& tw, const std::string& file_text) {
    DeckFileRead out;
    if (file_text.empty()) return out;
    std::string text = file_text;
    for (int pass = 0; pass < 2; ++pass) text = rt::replace_all(text, "\r\n\r\n", kCrLf);
    if (text.find(kCrLf) == std::string::npos) return out;

    std::vector<std::string> lines;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(kCrLf, from);
        if (at == std::string::npos) {
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, at - from));
        from = at + kCrLf.size();
    }
    tw.LineMarker = "12";
    if (lines.size() <= 3) return out;

    // Index of the last marker; a file without one counts as if it stood at 0.
    std::size_t d = 0;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == kMarker) d = i;
    const std::size_t n = lines.size();

    // Repeated lines on one side of the marker go into the first of them.
    tw.LineMarker = "13";
    for (std::size_t x = 0; x < n; ++x) {
        if (x == d) continue;
        FileLine fx = Split(lines[x]);
        if (!fx.numbered) continue;
        bool summed = false;
        for (std::size_t y = x + 1; y < n; ++y) {
            if (y == d || (x < d) != (y < d)) continue;
            const FileLine fy = Split(lines[y]);
            if (!fy.numbered || fy.tail != fx.tail) continue;
            fx.count += fy.count;
            lines[y].clear();
            summed = true;
        }
        if (summed) lines[x] = std::to_string(fx.count) + fx.tail;
    }

    // Deck and side deck together hold at most three copies of a printing; the deck gives way.
    tw.LineMarker = "14";
    for (std::size_t x = 0; x < d; ++x) {
        for (std::size_t y = d + 1; y < n; ++y) {
            const FileLine fx = Split(lines[x]);
            if (!fx.numbered) break;
            const FileLine fy = Split(lines[y]);
            if (!fy.numbered || fy.tail != fx.tail || fx.count + fy.count <= 2) continue;
            const long long left = 3 - fy.count;
            lines[x] = left < 1 ? std::string() : std::to_string(left) + fx.tail;
        }
    }

    tw.LineMarker = "15";
    bool marker_added = false;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        if (line.rfind("//", 0) == 0) {
            out.lines.push_back(line);
            continue;
        }
        if (line == kMarker && !marker_added) {
            out.lines.emplace_back(kMarker);
            marker_added = true;
            continue;
        }
        const std::size_t bar = line.find('|');
        if (bar == std::string::npos) continue;
        tw.LineMarker = "16";
        const std::size_t bar2 = line.find('|', bar + 1);
        if (bar2 == std::string::npos) {
            out.status = DeckFileRead::Status::Error;
            out.lines.clear();
            return out;
        }
        const FileLine f = Split(line);
        long long count = f.numbered ? f.count : 1;
        const std::string set = line.substr(bar + 1, bar2 - bar - 1);
        const std::string name = line.substr(bar2 + 1);
        count = std::min<long long>(count, GetBanStatus(tw, name));
        if (count >= 1) out.lines.push_back(std::to_string(count) + " " + set + " " + name);
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
            // name keeps its blanks whatever the count's width.
            std::string w = rt::trim(line);
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
    return rt::replace_all(text, "\r\n\r\n", kCrLf);
}

std::string DeckSavePath(const std::string& chosen) {
    return chosen.find(".dek") == std::string::npos ? chosen + ".dek" : chosen;
}

namespace win {

namespace {
std::filesystem::path DeckPath(const Tablewright& tw, const std::string& name) {
    return platform::resolve(tw.folder(), std::filesystem::path(name));
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
    tw_.LineMarker = "110";
    if (DeckName.empty()) return;
    const auto path = DeckPath(tw_, DeckName);
    if (!FileExists(path)) return;
    const DeckFileRead read = ReadDeckText(tw_, ReadFileText(path));
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
    tw_.LineMarker = "17";
    ComputeDeckAmount();
}

void DeckMaker::Command1_Click() {
    try {
        if (!TurnOffOnlineDeck()) return;
        comm1.filter = "*.dek";
        comm1.init_dir = tw_.path_of("decks").string();
        comm1.cancel_error = true;
        if (!comm1.show_open() || comm1.file_name.empty()) return;
        const std::string chosen = comm1.file_name;
        LoadDeck(chosen);
        tw_.LastDeckPath = chosen;
        WriteSetting(tw_, std::string(setting_key::lastdeck), chosen);
    } catch (const std::exception&) {
    }
}

void DeckMaker::Command2_Click() {
    try {
        comm1.filter = "*.dek";
        comm1.cancel_error = true;
        comm1.file_name = ReadSetting(tw_, std::string(setting_key::lastdeck));
        if (!comm1.show_save() || comm1.file_name.empty()) return;
        const std::string path = DeckSavePath(comm1.file_name);
        if (!WriteFileText(DeckFileText(List1.items()), DeckPath(tw_, path))) return;
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
    tw_.LastDeckPath = path;
    WriteSetting(tw_, std::string(setting_key::lastdeck), path);
}

void DeckMaker::File1_MouseDown(int, int, double, double) {}

}  // namespace win
}  // namespace tw
