#include "table/field_pictures.hpp"

#include <array>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

#include "cards/card.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/controls.hpp"
#include "platform/files.hpp"
#include "platform/picture.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/piles.hpp"

namespace tw {

namespace fs = std::filesystem;

namespace {

// The scratch image of copybox: the art block at columns 0 to 40, its turned copy at 50 to 90.
constexpr int kBlock = 41;
constexpr int kArtSize = 40;
constexpr int kCopyColumn = 50;
constexpr int kScratchWidth = kCopyColumn + kBlock;

bool has_art_window(const Card& c) {
    const std::string attribute = rt::lcase(c.Attribute);
    return rt::contains_ci(c.Group, "ritual") || c.Fusion || attribute == "magic" ||
           attribute == "spell" || rt::contains_ci(c.Group, "effect") || attribute == "trap" ||
           IsNumber(c.Level);
}

// The last test that holds wins.
std::string frame_name(const Card& c) {
    const std::string attribute = rt::lcase(c.Attribute);
    std::string frame;
    if (IsNumber(c.Level)) frame = "monster.gif";
    if (rt::contains_ci(c.Group, "effect")) frame = "monstereffect.gif";
    if (attribute == "trap") frame = "trap.gif";
    if (attribute == "magic" || attribute == "spell") frame = "magic.gif";
    if (c.Fusion) frame = "fusion.gif";
    if (rt::contains_ci(c.Group, "synchro")) frame = "synchro.gif";
    if (rt::contains_ci(c.Group, "ritual")) frame = "ritual.gif";
    if (c.Flipped) frame = "back.gif";
    if (c.Name == "back" || c.Name == kFaceDownCard) frame = "back.gif";
    if (c.SetCode == "Token") frame = "token.gif";
    return frame;
}

// A picture that is missing or cannot be decoded counts as absent.
platform::PicturePtr decode_if_exists(const fs::path& file) {
    if (!FileExists(file)) return nullptr;
    platform::PicturePtr picture;
    if (!rt::try_step([&] { picture = platform::load_picture(file, platform::kCardPicturePixels); }))
        return nullptr;
    return picture;
}

void set_sizes(Tablewright& tw, int slot, bool sideways) {
    auto& duel = tw.FormA();
    auto& stencil = duel.cardstencil[slot];
    auto& border = duel.Shape1[slot];
    if (sideways) {
        stencil.set_width(kSidewaysWidth);
        stencil.set_height(kSidewaysHeight);
        border.set_width(kSidewaysWidth);
        border.set_height(kSidewaysHeight - kBorderShortfall);
    } else {
        stencil.set_width(kUprightWidth);
        stencil.set_height(kUprightHeight);
        border.set_width(kUprightWidth - kBorderShortfall);
        border.set_height(kUprightHeight);
    }
}

// copybox's image as a scratch picture wide enough for both blocks; what it held is kept.
platform::Picture scratch_of(const platform::PictureBox& copybox) {
    platform::Picture out;
    const platform::PicturePtr& old = copybox.picture();
    out.width = old && old->width > kScratchWidth ? old->width : kScratchWidth;
    out.height = old && old->height > kBlock ? old->height : kBlock;
    out.pixels.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 0);
    if (old && old->pixels.size() == static_cast<std::size_t>(old->width) * static_cast<std::size_t>(old->height)) {
        for (int y = 0; y < old->height; ++y)
            for (int x = 0; x < old->width; ++x)
                out.pixels[static_cast<std::size_t>(y * out.width + x)] =
                    old->pixels[static_cast<std::size_t>(y * old->width + x)];
    }
    return out;
}

// The art scaled into the 40 x 40 pixels at copybox's top left.
void paint_art_block(platform::PictureBox& copybox, const platform::Picture& art) {
    platform::Picture scratch = scratch_of(copybox);
    if (art.width > 0 && art.height > 0 &&
        art.pixels.size() == static_cast<std::size_t>(art.width) * static_cast<std::size_t>(art.height)) {
        for (int y = 0; y < kArtSize; ++y)
            for (int x = 0; x < kArtSize; ++x) {
                const int sx = x * art.width / kArtSize;
                const int sy = y * art.height / kArtSize;
                scratch.pixels[static_cast<std::size_t>(y * scratch.width + x)] =
                    art.pixels[static_cast<std::size_t>(sy * art.width + sx)];
            }
    }
    copybox.set_picture(std::make_shared<const platform::Picture>(std::move(scratch)));
}

bool art_component_ok(const std::string& part) {
    if (part.empty() || part == "." || part.find("..") != std::string::npos) return false;
    for (const char ch : part) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '/' || ch == '\\' || b < 0x20 || b == 0x7F) return false;
    }
    return true;
}

}  // namespace

std::optional<fs::path> CardArtPath(const Tablewright& tw, const std::string& set_code,
                                    const std::string& name) {
    const std::string folder = rt::lcase(set_code);
    const std::string file = rt::lcase(rt::replace_all(name, " ", "")) + ".gif";
    if (!art_component_ok(folder) || !art_component_ok(file)) return std::nullopt;
    return platform::resolve_inside(tw.path_of("images"), folder + "\\" + file);
}

bool IsIconGif(const fs::path& path) {
    if (!FileExists(path)) return false;
    std::array<unsigned char, 256> head{};
    {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
        if (in.bad()) return false;
    }
    if (std::memcmp(head.data(), "GIF8", 4) != 0) return false;
    const int width = head[6] + 256 * head[7];
    const int height = head[8] + 256 * head[9];
    return width == kArtSize && height == kArtSize;
}

void RotateCardPicture(Tablewright& tw, platform::PictureBox& stencil, platform::PictureBox& copybox,
                       std::int32_t slot) {
    // One pass in memory: nothing else may draw into copybox halfway through a turn.
    platform::Picture scratch = scratch_of(copybox);
    platform::Picture block;
    block.width = kBlock;
    block.height = kBlock;
    block.pixels.resize(static_cast<std::size_t>(kBlock * kBlock));
    for (int y = 0; y < kBlock; ++y)
        for (int x = 0; x < kBlock; ++x)
            block.pixels[static_cast<std::size_t>(y * kBlock + x)] =
                scratch.pixels[static_cast<std::size_t>(y * scratch.width + x)];
    const platform::Picture turned = platform::rotate_quarter_cw(block);
    for (int y = 0; y < kBlock; ++y)
        for (int x = 0; x < kBlock; ++x)
            scratch.pixels[static_cast<std::size_t>(y * scratch.width + kCopyColumn + x)] =
                turned.pixels[static_cast<std::size_t>(y * kBlock + x)];
    copybox.set_picture(std::make_shared<const platform::Picture>(std::move(scratch)));

    if (has_art_window(tw.field.FieldCards[slot]))
        stencil.paint_picture(copybox.picture(), 280, 100, 680, 630, 800, 0, 620, 620);
}

void DrawFieldCard(Tablewright& tw, Card& card) {
    if (card.PictureDrawn || card.Name.empty()) return;
    const int s = card.Slot;
    Card& rec = tw.field.FieldCards[s];
    auto& duel = tw.FormA();
    auto& stencil = duel.cardstencil[s];

    const bool sideways = rec.Horizontal;
    const std::string base = sideways ? "images\\h" : "images\\";
    set_sizes(tw, s, sideways);

    const std::string frame = frame_name(rec);
    platform::PicturePtr picture = frame.empty() ? nullptr : decode_if_exists(tw.path_of(base + frame));
    if (!picture) picture = decode_if_exists(tw.path_of("images\\default.gif"));
    if (picture) {
        stencil.set_picture(nullptr);
        stencil.cls();
        stencil.set_picture(std::move(picture));
    }

    if (!rec.Flipped) {
        const auto art_path = CardArtPath(tw, rec.SetCode, rec.Name);
        if (!art_path || !IsIconGif(*art_path)) return;
        const platform::PicturePtr art = decode_if_exists(*art_path);
        if (!art) return;
        if (sideways)
            paint_art_block(duel.copybox, *art);
        else if (has_art_window(rec))
            stencil.paint_picture(art, 125, 277, 600, 660);
    }

    if (sideways && !rec.Flipped) RotateCardPicture(tw, stencil, duel.copybox, s);
    set_sizes(tw, s, sideways);

    rec.PictureDrawn = true;
    tw.field.SelectedSlot = static_cast<std::int16_t>(s);
}

void RemoveFieldCard(Tablewright& tw, std::int16_t slot) {
    auto& duel = tw.FormA();
    rt::try_step([&] {
        auto& stencil = duel.cardstencil[slot];
        stencil.set_picture(nullptr);
        stencil.cls();
    });
    rt::try_step([&] { duel.cardstencil.unload(slot); });
    rt::try_step([&] { duel.Label4.unload(slot); });
    rt::try_step([&] { duel.Label5.unload(slot); });
    rt::try_step([&] { duel.Shape1.unload(slot); });
    UpdateStats(tw);
}

}  // namespace tw
