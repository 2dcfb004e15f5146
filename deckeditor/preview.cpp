#include "deckeditor/preview.hpp"

#include "cards/card_info.hpp"
#include "cards/card_lookup.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/controls.hpp"
#include "platform/grid.hpp"
#include "platform/rt.hpp"

namespace tw {

bool ClickedOnHeader(const platform::Grid& grid) {
    return grid.mouse_row() >= 0 && grid.mouse_row() < grid.fixed_rows();
}

std::optional<PreviewTarget> GridPreviewTarget(const Tablewright& tw, const platform::Grid& grid) {
    if (grid.row() < 1 || tw.editor.SearchRunning) return std::nullopt;
    if (grid.row() >= grid.rows() || grid.cols() < 3) return std::nullopt;
    return PreviewTarget{rt::lcase(grid.text_matrix(grid.row(), 1)), grid.text_matrix(grid.row(), 2)};
}

std::optional<PreviewTarget> DeckLinePreviewTarget(const std::string& line) {
    if (line.empty() || line == "-SIDE DECK-" || line.starts_with("//")) return std::nullopt;
    const std::size_t first = line.find(' ');
    if (first == std::string::npos) return std::nullopt;
    const std::size_t second = line.find(' ', first + 1);
    if (second == std::string::npos) return std::nullopt;
    return PreviewTarget{line.substr(first + 1, second - first - 1), line.substr(second + 1)};
}

std::string CutPreviewDesc(const std::string& desc) {
    if (static_cast<int>(desc.size()) <= kPreviewDescLimit) return desc;
    return rt::rtrim(desc.substr(0, kPreviewDescLimit)) + "...";
}

void PreviewCard(Tablewright& tw, CardPreview& panel, const PreviewTarget& target) {
    ShowCardInfo(tw, LookupCard(tw, target.set_code, target.name), panel.selectedcard);
    panel.Label32.set_visible(true);
    panel.Label33.set_visible(true);
    panel.Image1.set_visible(true);

    const std::string& text = panel.selectedcard.text();
    const PanelLabels labels = SplitPanelText(text);
    panel.lblName.set_caption(labels.name);
    // The editor has no token frame: tokens take the frame of their kind.
    PaintCardPicture(tw, panel.Image1, CardFrameFile(text, {}), target.set_code, target.name);
    panel.lblStats.set_caption(labels.stats);
    panel.lblDesc.set_caption(CutPreviewDesc(labels.desc));
}

void PreviewFromGrid(Tablewright& tw, CardPreview& panel, const platform::Grid& grid) {
    if (const auto target = GridPreviewTarget(tw, grid)) PreviewCard(tw, panel, *target);
}

void PreviewFromDeckList(Tablewright& tw, CardPreview& panel, platform::ListBox& list) {
    list.set_tool_tip_text("");
    const std::string line = list.text();
    if (line.starts_with("//")) {
        list.set_tool_tip_text(line);
        return;
    }
    if (const auto target = DeckLinePreviewTarget(line)) PreviewCard(tw, panel, *target);
}


namespace win {

bool DeckMaker::WirePreview() {
    // The labels lie in the text box's area: the text, while shown, covers them.
    lblName.move(4440, 480, 3600, 255);
    lblDesc.move(4440, 780, 3600, 2580);
    lblStats.move(5760, 3480, 2280, 1260);
    Label32.set_caption("[Toggle Display]");
    Label32.move(5760, 4860, 1185, 210);
    Label33.set_caption("[View Rulings]");
    Label33.move(6960, 4860, 1080, 210);
    for (platform::Label* l : {&Label32, &Label33}) l->set_visible(false);

    Grid.Click = [this] { Grid_Click(); };
    Grid.EnterCell = [this] { Grid_EnterCell(); };
    List1.Click = [this] { List1_Click(); };
    Label32.Click = [this] { Label32_Click(); };
    Label33.Click = [this] { Label33_Click(); };
    return true;
}

namespace {
CardPreview PanelOf(DeckMaker& d) {
    return {d.selectedcard, d.Image1, d.lblName, d.lblStats, d.lblDesc, d.Label32, d.Label33};
}
}  // namespace

void DeckMaker::Grid_Click() {
    if (ClickedOnHeader(Grid)) return;
    CardPreview panel = PanelOf(*this);
    PreviewFromGrid(tw_, panel, Grid);
}

void DeckMaker::Grid_EnterCell() {
    CardPreview panel = PanelOf(*this);
    PreviewFromGrid(tw_, panel, Grid);
}

void DeckMaker::List1_Click() {
    CardPreview panel = PanelOf(*this);
    PreviewFromDeckList(tw_, panel, List1);
}

void DeckMaker::Label32_Click() { selectedcard.set_visible(!selectedcard.visible()); }

void DeckMaker::Label33_Click() { OpenCardRulings(tw_, lblName.caption()); }

}  // namespace win

}  // namespace tw
