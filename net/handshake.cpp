#include "net/handshake.hpp"

#include <cstdlib>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/probation.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr platform::Color kWhite = 16777215;
constexpr platform::Color kBlack = 0;

void Send(Tablewright& tw, const std::string& command) {
    std::int32_t cls = 0;
    SendCommand(tw, command, cls);
}

}  // namespace

std::string HandshakeAnswer(const std::string& challenge) {
    if (challenge.size() < 15) throw rt::RuntimeError(rt::ErrTypeMismatch);
    int sum = 0;
    for (std::size_t i = 0; i < 15; ++i) {
        const char c = challenge[i];
        if (c < '0' || c > '9') throw rt::RuntimeError(rt::ErrTypeMismatch);
        sum += c - '0';
    }
    return rt::cstr(sum);
}

std::string MakeChallenge(Tablewright& tw) {
    std::string digits;
    for (int i = 0; i < 16; ++i) digits += rt::cstr(RandomInt(tw, 1, 9));
    return digits;
}

void SendChallenge(Tablewright& tw) {
    const std::string challenge = MakeChallenge(tw);
    tw.net.ExpectedHandshake = HandshakeAnswer(challenge);
    tw.net.ChallengeOpen = true;
    tw.net.ProbeAnswerWaits = false;
    Send(tw, "hs~" + challenge);
}

std::string PlayerInfo(const Tablewright& tw, bool with_online) {
    // The peer splits at ":" and the frame at "~": neither may stand in the name.
    const std::string name = rt::replace_all(rt::replace_all(tw.prefs.UserName, ":", ""), "~", "");
    const std::string online = with_online ? (tw.net.UsingOnlineDeck ? "1" : "0") : "";
    return name + ":" + rt::cstr(tw.net.ProtocolVersion) + ":" + rt::cstr(tw.net.PlayerNumber) + ":" + online + ":";
}

void SendPlayerInfo(Tablewright& tw, bool with_online) { Send(tw, "mi~" + PlayerInfo(tw, with_online)); }

void DI_MI(Tablewright& tw, const std::string& info) {
    auto error = rt::trap([&] {
        auto& duel = tw.FormA();
        const auto fields = rt::split(info, ":");
        const int n = fields.ubound() + 1;
        // A name may hold ":"; the four fields after it never do.
        std::string name;
        for (int i = 0; i <= n - 5; ++i) name += (i > 0 ? ":" : "") + fields[i];
        const std::string& version = fields[n - 4];
        const std::int32_t seat = rt::to_long(fields[n - 3]);

        if (IsNumber(version) && rt::to_long(version) < tw.net.ProtocolVersion) {
            AddChat(tw, "Opponents`s version is too old! Disconnecting.", "Game", true);
            ShowMessage(tw, "Opponent is using a version that is too old. Im disconnecting");
            duel.Winsock1.close();
        }
        tw.net.PlayerNames.at(static_cast<std::size_t>(seat)) = name;

        duel.SearchOppGraveyard.set_enabled(true);
        duel.SearchOppRFG.set_enabled(true);
        tw.errors.LineMarker = "19C";
        if (seat == 1) {
            duel.Player1GY.set_caption("Search " + name + " GY (Yellow)");
            duel.Player1RFG.set_caption("Search " + name + " RFG (Yellow)");
            duel.Player1GY.set_enabled(true);
            duel.Player1RFG.set_enabled(true);
        } else if (seat == 2) {
            duel.Player2GY.set_caption("Search " + name + " GY (Blue)");
            duel.Player2RFG.set_caption("Search " + name + " RFG (Blue)");
            duel.Player2GY.set_enabled(true);
            duel.Player2RFG.set_enabled(true);
        }
        tw.errors.LineMarker = "43C";
        AddChat(tw, "Your Opponent is " + name, "Game", false);
        // The name is the peer's: it is made one harmless file-name component.
        RenameLogForOpponent(tw, name);
        // The copy a peer sends once it has accepted our answer, while its answer to our own
        // challenge has not come: it never heard our opening, which it would have answered
        // first. The relay lost what we said while alone, so the probe is answered now.
        if (tw.net.ProbeAnswerWaits && fields[n - 2].empty()) {
            tw.net.ProbeAnswerWaits = false;
            SendPlayerInfo(tw, true);
        }
    });
    if (error) ReportRuntimeError(tw, error->description, rt::cstr(error->number), "DI_MI");
}

void UpdateHackMeter(Tablewright& tw, std::int32_t count) {
    const long long gap = std::llabs(static_cast<long long>(tw.net.ReceivedCount) - count) - tw.net.GarbledCount - 5;
    tw.net.HackLevel = static_cast<std::int16_t>(gap < 0 ? 0 : gap > 20 ? 20 : gap);
    auto& duel = tw.FormA();
    const int percent = 5 * tw.net.HackLevel;
    duel.hack.set_caption(rt::cstr(percent) + "%");
    const char* light = "green.jpg";
    platform::Color fore = kWhite;
    if (percent >= 75) {
        light = "red.jpg";
    } else if (percent >= 30) {
        light = "yellow.jpg";
        fore = kBlack;
    }
    duel.hack.set_fore_color(fore);
    // Only a change of light looks for its picture: the meter runs for every command received,
    // and a missing picture leaves the light as it was.
    if (tw.net.HackLight == light) return;
    tw.net.HackLight = light;
    rt::try_step([&] { LoadPictureIfExists(duel.Image2, tw.path_of(std::string("Buttons\\") + light)); });
}

bool ReceivedChallenge(Tablewright& tw, const std::string& args) {
    const std::string answer = HandshakeAnswer(args);
    EndProbation(tw);
    Send(tw, "dh~" + answer);
    return true;
}

bool ReceivedHandshakeAnswer(Tablewright& tw, const std::string& args) {
    auto& duel = tw.FormA();
    // Without a challenge of ours there is no right answer.
    if (tw.net.ExpectedHandshake.empty() || args != tw.net.ExpectedHandshake) {
        AddChat(tw, "Invalid Handshake, Disconnecting", "Game", true);
        duel.Winsock1.close();
        return false;
    }
    EndProbation(tw);
    // The answer shows the peer heard our opening, our information with it; the accept sends
    // that once more below, so a probe's answer still waiting is not needed.
    tw.net.ChallengeOpen = false;
    tw.net.ProbeAnswerWaits = false;
    AddChat(tw, "Handshake Accepted", "Game", true);
    SendPlayerInfo(tw, false);
    // Set back only now, after the lines above went out, so the next command carries count 1.
    tw.net.SentCount = 0;
    tw.net.GarbledCount = 0;
    tw.net.ReceivedCount = 0;
    duel.hack.set_caption("Probability of Hacking: 0%");
    return true;
}

bool ReceivedRelayProbe(Tablewright& tw) {
    if (!tw.net.RelayMode) return false;
    // A relay that kept what we said while alone has passed our opening on already; one that
    // did not has lost it. Sent again at once, our information reaches a partner that has it
    // between that partner's answer to our challenge and its accept, and its reply to the line
    // it logs puts the counts one past the meter's allowance for good. So while our challenge
    // is open the answer waits: the right answer to the challenge makes it needless, and the
    // partner's information after its own accept, ours still unanswered, sends it (DI_MI).
    if (tw.net.ChallengeOpen && !tw.net.ServerDuel) {
        tw.net.ProbeAnswerWaits = true;
        return true;
    }
    SendPlayerInfo(tw, true);
    return true;
}

}  // namespace tw
