// Card records from the set file (or a peer) written into the card panel: the panel text, its
// lines and labels for any record, and an art path that never leaves the images folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "cards/card_info.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "fuzz/program_fixture.hpp"
#include "table/field_pictures.hpp"

namespace {

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<tw::Tablewright> tw = std::make_unique<tw::Tablewright>(app);
};

bool inside(const std::filesystem::path& p, const std::filesystem::path& base) {
    const auto rel = p.lexically_normal().lexically_relative(base.lexically_normal());
    return !rel.empty() && *rel.begin() != ".." && !rel.is_absolute();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture f;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto images = f.tw->path_of("images");
    std::size_t shown = 0;
    for (const tw::CardView view : tw::ParseSetFile(text)) {
        const tw::Card card = view.card();
        if (++shown > 4) break;
        const std::string panel = tw::CardInfoText(card);
        (void)tw::CardInfoColor(card);
        const tw::PanelLabels labels = tw::SplitPanelText(panel);
        if (labels.name != tw::PanelLine(panel, 0)) std::abort();
        for (int i = -1; i < 9; ++i) (void)tw::PanelLine(panel, i);
        const std::string frame = tw::CardFrameFile(panel, card.SetCode);
        if (frame.rfind("Images\\", 0) != 0) std::abort();
        if (const auto art = tw::CardArtPath(*f.tw, card.SetCode, card.Name); art && !inside(*art, images))
            std::abort();
    }
    // The fields as a peer might send them, without a set file's rules.
    const std::size_t cut = text.size() / 2;
    if (const auto art = tw::CardArtPath(*f.tw, text.substr(0, cut), text.substr(cut)); art && !inside(*art, images))
        std::abort();
    return 0;
}
