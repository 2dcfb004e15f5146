#include "cards/updater.hpp"

#include <string>
#include <string_view>

#include "cards/helpers.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "net/site.hpp"
#include "platform/files.hpp"

namespace tw {

namespace {

// The page's element that carries the set file, counting every element from 0.
constexpr int kSetElement = 4;
// Between two looks at the page the player's events run and the loop pauses briefly; every
// load ends by the browser's own time limit, so the wait does too.
constexpr int kWaitStepMs = 10;

constexpr std::string_view kRecordEnd = "|\r\n";

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Fields 1 (name) and 3 (set codes) of a record are both there and not empty.
bool IsCardRecord(std::string_view record) {
    std::string_view fields[4];
    std::size_t start = 0;
    for (int f = 0; f < 4; ++f) {
        const std::size_t bar = record.find('|', start);
        if (bar == std::string_view::npos) {
            if (f < 3) return false;
            fields[f] = record.substr(start);
        } else {
            fields[f] = record.substr(start, bar - start);
            start = bar + 1;
        }
    }
    return !fields[1].empty() && !fields[3].empty();
}

}  // namespace

bool HoldsACardRecord(std::string_view set_text) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = set_text.find(kRecordEnd, start);
        const std::string_view record =
            set_text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (IsCardRecord(record)) return true;
        if (end == std::string_view::npos) return false;
        start = end + kRecordEnd.size();
    }
}

std::optional<std::string> SetFileFromPage(const platform::HtmlDocument& page) {
    if (page.all_count() <= kSetElement) return std::nullopt;
    std::string text = WithCrLf(page.all(kSetElement).inner_html());
    if (!HoldsACardRecord(text)) return std::nullopt;
    return text;
}

namespace win {

FrmUpdater::FrmUpdater(Tablewright& tw)
    : platform::Form(tw.app, "frmUpdater"), WebBrowser1(tw.app.reactor()), tw_(tw) {
    set_caption("Set Updater");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 5490, 2580);

    lblInfo.set_caption("Automatic updater is connected to server.");
    lblInfo.move(120, 120, 5160, 255);
    Option1.set_caption("TCG");
    Option1.move(120, 480, 1200, 255);
    Option2.set_caption("OCG");
    Option2.move(1440, 480, 1200, 255);
    Option1.set_value(true);
    lblWork.move(120, 840, 5160, 480);

    Command1.set_caption("Check For Updates");
    Command1.move(120, 1440, 1620, 375);
    cmdCheck.set_caption("Check For Updates");
    cmdCheck.move(120, 1440, 1620, 375);
    cmdCheck.set_visible(false);
    cmdUpdate.set_caption("Install Updates");
    cmdUpdate.move(1860, 1440, 1620, 375);
    cmdUpdate.set_enabled(false);
    cmdExit.set_caption("Exit Updater");
    cmdExit.move(3600, 1440, 1680, 375);
    WebBrowser1.set_visible(false);

    Command1.Click = [this] { Command1_Click(); };
    cmdUpdate.Click = [this] { cmdUpdate_Click(); };
    cmdExit.Click = [this] { cmdExit_Click(); };
    Option1.Click = [this] { Option1_Click(); };
    Option2.Click = [this] { Option2_Click(); };
}

std::string_view FrmUpdater::ChosenFile() const {
    return Option2.value() ? kOcgSetFileName : kSetFileName;
}

void FrmUpdater::Command1_Click() {
    cmdExit.set_enabled(false);
    cmdCheck.set_enabled(false);
    Command1.set_enabled(false);
    lblWork.set_caption("Searching for new set file...");
    tw_.app.host().repaint(lblWork);

    const std::string_view file = ChosenFile();
    const std::string url = SetPageUrl(tw_, file == kOcgSetFileName);
    WebBrowser1.navigate(url);
    // A missing or unreadable local file counts as empty: any set file is then new.
    rtbOld = platform::read_file(tw_.path_of(file)).value_or(std::string());

    while (WebBrowser1.ready_state() != platform::ReadyComplete || WebBrowser1.busy()) {
        tw_.app.do_events();
        if (WebBrowser1.ready_state() != platform::ReadyComplete) tw_.app.host().sleep_ms(kWaitStepMs);
    }

    const auto fetched = SetFileFromPage(WebBrowser1.document());
    if (!fetched) {
        rtbNew.clear();
        FetchedFor.clear();
        cmdUpdate.set_enabled(false);
        lblWork.set_caption("The set file could not be downloaded.");
    } else {
        rtbNew = *fetched;
        FetchedFor = std::string(file);
        if (rtbNew != rtbOld) {
            lblWork.set_caption("New set file found. Update Reccomended.");
            // Unless the player chose the other list while the page was on its way.
            cmdUpdate.set_enabled(ChosenFile() == file);
        } else {
            lblWork.set_caption("No updates necessary.");
        }
    }
    cmdExit.set_enabled(true);
    cmdCheck.set_enabled(true);
}

void FrmUpdater::cmdUpdate_Click() {
    cmdUpdate.set_enabled(false);
    // The page goes to the file of the list it was fetched for, never to another list's.
    if (FetchedFor.empty() || rtbNew.empty()) return;
    if (!WriteFileText(rtbNew, tw_.path_of(FetchedFor))) {
        lblWork.set_caption("The set file could not be written.");
        cmdUpdate.set_enabled(true);
        return;
    }
    lblWork.set_caption("Update Completed. Restart ZQM Please.");
}

void FrmUpdater::cmdExit_Click() {
    cmdExit.set_enabled(true);
    cmdCheck.set_enabled(true);
    Command1.set_enabled(true);
    hide();
}

// A page fetched for one list is not offered for the other: installing waits for a new check.
void FrmUpdater::Option1_Click() { cmdUpdate.set_enabled(false); }
void FrmUpdater::Option2_Click() { cmdUpdate.set_enabled(false); }

}  // namespace win
}  // namespace tw
