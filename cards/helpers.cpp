#include "cards/helpers.hpp"

#include "net/site.hpp"

#include <cmath>

#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/controls.hpp"
#include "platform/desktop.hpp"
#include "platform/files.hpp"
#include "platform/form.hpp"
#include "platform/random.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

// "&amp;" becomes "&" in place: a file's text is never held twice.
void decode_in_place(std::string& text) {
    constexpr std::string_view kAmp = "&amp;";
    std::size_t in = text.find(kAmp);
    if (in == std::string::npos) return;
    std::size_t out = in;
    while (in < text.size()) {
        if (text.compare(in, kAmp.size(), kAmp) == 0) {
            text[out++] = '&';
            in += kAmp.size();
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
}

}  // namespace

std::string DecodeFileText(const std::string& bytes) {
    std::string text = bytes;
    decode_in_place(text);
    return text;
}

std::optional<std::string> ReadFileTextIfReadable(const std::filesystem::path& path, std::size_t max_bytes) {
    try {
        auto text = platform::read_file(path, max_bytes);
        if (text) decode_in_place(*text);
        return text;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string ReadFileText(const std::filesystem::path& path) {
    return ReadFileTextIfReadable(path).value_or(std::string());
}

bool WriteFileText(const std::string& text, const std::filesystem::path& path) {
    try {
        const auto folder = path.parent_path();
        if (!folder.empty() && !platform::folder_exists(folder)) platform::make_folder_one_level(folder);
        return platform::write_file_atomic(path, text);
    } catch (const std::exception&) {
        return false;
    }
}

std::int32_t RandomInt(Tablewright& tw, std::int32_t low, std::int32_t high) {
    return RandomInt(tw.random, tw.app.clock(), low, high);
}

bool FileExists(const std::filesystem::path& path) {
    try {
        return platform::file_exists(path);
    } catch (const std::exception&) {
        return false;
    }
}

void SleepMs(Tablewright& tw, std::int32_t ms) { tw.app.host().sleep_ms(ms > 0 ? ms : 0); }

bool IsWinXP() { return false; }
bool IsWin2000() { return false; }

namespace {

// "scheme://" at the start: a letter, then letters, digits, "+", "-" or ".".
bool HasScheme(const std::string& address) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    const std::size_t colon = address.find("://");
    if (colon == std::string::npos || colon == 0 || !letter(address[0])) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = address[i];
        if (!letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

}  // namespace

std::string NormaliseUrl(const std::string& url) {
    std::string address = rt::trim(url);
    if (address.empty()) return {};
    // An address that names its scheme is opened as it is; a bare one ("www.x.org") is a web page.
    if (!HasScheme(address)) address = "http://" + address;
    return rt::replace_all(address, ",", "");
}

namespace {
// Said rather than nothing happening, so that the player knows where to look by hand.
void NoProgramToOpen(Tablewright& tw, const std::string& address) {
    ShowMessage(tw, "No program was found to open " + address + ".");
}
}  // namespace

void OpenUrl(Tablewright& tw, const std::string& url) {
    // The bundled site's pages are files of the program: they open as such, and an address that
    // names nothing there gets the web rule below.
    if (auto page = SitePageFile(tw, rt::trim(url))) {
        if (!tw.app.host().open_file(*page)) NoProgramToOpen(tw, rt::trim(url));
        return;
    }
    const std::string address = NormaliseUrl(url);
    if (!address.empty() && !tw.app.host().open_url(address)) NoProgramToOpen(tw, address);
}

bool StartProgramOfFolder(Tablewright& tw, std::string_view windows_name) {
    const auto program = platform::program_for(tw.folder(), windows_name);
    return program && tw.app.host().start_process(*program, {}, platform::WindowStyle::MinimizedFocus);
}

std::string IpToString(const std::array<std::uint8_t, 4>& bytes) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) +
           "." + std::to_string(bytes[3]);
}

namespace {

void AddIpFallback(Tablewright& tw, platform::ListBox& list) {
    rt::try_step([&] {
        list.add_item("ERROR getting your IP address");
        list.add_item("Try the one below, Remember 127.0.0.1 isnt valid");
        list.add_item(tw.FormA().Winsock1.local_ip());
    });
}

}  // namespace

void ListLocalIPs(Tablewright& tw, platform::ListBox& list, const std::vector<std::string>& table) {
    if (table.empty()) return;
    try {
        list.add_item(std::to_string(table.size()) + " IP addresses found on your PC, Choose 1");
        list.add_item("Dbl. Clicking an entry will add it to your Clipboard");
        for (const auto& address : table) {
            // Loopback and LAN addresses are not what the peer should type.
            if (rt::left(address, 4) == "127." || rt::left(address, 3) == "192") continue;
            list.add_item(address);
        }
    } catch (const std::exception&) {
        AddIpFallback(tw, list);
    }
}

void ListLocalIPs(Tablewright& tw, platform::ListBox& list) {
    std::vector<std::string> table;
    try {
        table = platform::local_ipv4_addresses(true);
    } catch (const std::exception&) {
        AddIpFallback(tw, list);
        return;
    }
    ListLocalIPs(tw, list, table);
}

void SetTopMost(Tablewright& tw, platform::Form& form, bool on_top) {
    tw.app.host().set_topmost(form, on_top);
}

std::string GetField(const std::string& text, const std::string& sep, std::int16_t index) {
    if (text.empty()) return {};
    if (sep.empty() || text.find(sep) == std::string::npos) return text;
    std::size_t from = 0;
    for (int field = 0;; ++field) {
        const auto at = text.find(sep, from);
        if (field == index) return text.substr(from, at == std::string::npos ? std::string::npos : at - from);
        if (at == std::string::npos || index < 0) throw rt::RuntimeError(rt::ErrSubscript);
        from = at + sep.size();
    }
}

void RestoreWndProc() {}

void InstallFont(Tablewright& tw, const std::string& file_name) {
    try {
        const std::filesystem::path given(file_name);
        const auto source = given.is_absolute() ? given : tw.path_of(file_name);
        if (!FileExists(source)) return;
        tw.app.host().register_font(source);
    } catch (const std::exception&) {
    }
}

void FlashWindowAlert(Tablewright& tw, platform::Form& form, std::int32_t interval, std::int32_t) {
    // The desktop flashes until the window comes forward, whatever FlashFlags asks beyond that.
    if (interval > 0) tw.app.host().alert(form);
}

bool IsCtrlDown(Tablewright& tw, std::int32_t which) {
    auto& host = tw.app.host();
    switch (which) {
        case 0: return host.key_down(162) && host.key_down(163);
        case 1: return host.key_down(162);
        case 2: return host.key_down(163);
        default: return host.key_down(17);
    }
}

bool InitCommonControls() { return true; }

void LoadPictureIfExists(platform::PictureBox& box, const std::filesystem::path& path) {
    if (FileExists(path)) box.load_picture(path);
}

void LoadPictureIfExists(platform::Image& image, const std::filesystem::path& path) {
    if (FileExists(path)) image.load_picture(path);
}

void LoadWindowPicture(Tablewright& tw, platform::Image& image, const std::string& file) {
    rt::try_step([&] { LoadPictureIfExists(image, tw.path_of("Buttons\\" + file)); });
}

bool IsOddNumber(std::int32_t n) {
    const char last = std::to_string(n).back();
    return last != '0' && last != '2' && last != '4' && last != '6' && last != '8';
}

bool IsNumber(const std::string& text) {
    try {
        if (rt::trim(text).empty()) return false;
        return rt::is_number(text);
    } catch (const std::exception&) {
        return false;
    }
}

void SetWindowAlpha(platform::Form&, std::uint8_t) {}
void SetClickThrough(platform::Control&) {}

bool FlipCoin(Tablewright& tw) {
    const auto v = RandomInt(tw, 0, 4);
    return v == 1 || v == 3;
}

}  // namespace tw
