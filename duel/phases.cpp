// Turn phases: the row of phase labels below the table, stepping and jumping through them, and
// the opponent's phase shown on the same labels. There is no rules engine: a phase is only
// shown, announced and sent.
#include <array>
#include <cstdint>
#include <string>

#include "cards/duel_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace tw::win {

namespace {

constexpr std::int32_t kOppTurnPhase = 7;

// What the duel log says after the user name, by phase 1 to 7.
constexpr std::array<const char*, 7> kPhaseLogText = {
    " has entered their Draw Phase",   " has entered their Standby Phase", " has entered their Main 1 Phase",
    " has entered their Attack Phase", " has entered their Main 2 Phase",  " has entered their End Phase",
    " is done with their turn",
};

void AnnouncePhase(Tablewright& tw, std::int32_t phase) {
    if (phase < 1 || phase > kOppTurnPhase) return;
    AddChat(tw, tw.prefs.UserName + kPhaseLogText[static_cast<std::size_t>(phase - 1)], "Game", true);
}

void SendPhase(Tablewright& tw, std::int32_t phase) {
    std::int16_t tag = 0;
    SendCommand(tw, "cp~" + rt::cstr(phase), tag);
}

}  // namespace

// The seven labels in phase order, the opponent's turn last.
std::array<platform::Label*, 7> FormA::PhaseLabels() {
    return {&draw, &standby, &main1, &attack, &main2, &endphase, &OppTurn};
}

void FormA::ShowPhase() {
    const auto failed = rt::trap([&] {
        const auto labels = PhaseLabels();
        for (int i = 0; i < 6; ++i) labels[static_cast<std::size_t>(i)]->set_fore_color(kPhaseIdle);
        const std::int32_t phase = tw_.duel.Phase;
        if (phase == 1) {
            OppTurn.set_fore_color(kPhaseIdle);
            draw.set_fore_color(kPhaseCurrent);
        } else if (phase >= 2 && phase <= 6) {
            labels[static_cast<std::size_t>(phase - 1)]->set_fore_color(kPhaseCurrent);
        } else if (phase == kOppTurnPhase) {
            OppTurn.set_fore_color(kOppTurnCurrent);
        }
    });
    if (failed) sendError("ShowPhase_click");
}

void FormA::JumpPhase(const std::int32_t& Nummy) {
    tw_.duel.Phase = Nummy;
    AnnouncePhase(tw_, Nummy);
    SendPhase(tw_, Nummy);
    ShowPhase();
}

void FormA::NextPhase_Click() {
    if (Winsock1.state() != platform::TcpSocket::StateConnected) tw_.piles.PlayedOffline = true;
    // In 64 bits, so that a phase set to the largest number still wraps to the Draw Phase.
    const std::int64_t next = static_cast<std::int64_t>(tw_.duel.Phase) + 1;
    tw_.duel.Phase = next <= 0 || next > kOppTurnPhase ? 1 : static_cast<std::int32_t>(next);
    AnnouncePhase(tw_, tw_.duel.Phase);
    SendPhase(tw_, tw_.duel.Phase);
    ShowPhase();
}

void FormA::End_Turn_Click() {
    JumpPhase(kOppTurnPhase);
    // Yellow marks a turn just handed over; clicking the label itself shows the calmer orange.
    OppTurn.set_fore_color(kTurnHandedOver);
    const auto labels = PhaseLabels();
    for (int i = 0; i < 6; ++i) labels[static_cast<std::size_t>(i)]->set_fore_color(kPhaseIdle);
}

void FormA::EndYourTurn_Click() { End_Turn_Click(); }

void FormA::ShowOpponentPhase(std::int32_t phase) {
    if (phase < 1 || phase > kOppTurnPhase) phase = kOppTurnPhase;
    for (platform::Label* l : PhaseLabels()) l->set_fore_color(kPhaseIdle);
    ShowPhase();
    PhaseLabels()[static_cast<std::size_t>(phase - 1)]->set_fore_color(kOpponentPhase);
}

bool FormA::WirePhases() {
    const auto labels = PhaseLabels();
    for (int i = 0; i < 7; ++i) {
        const std::int32_t phase = i + 1;
        labels[static_cast<std::size_t>(i)]->Click = [this, phase] { JumpPhase(phase); };
    }
    platform::Menu* items[] = {&PhaseDraw, &PhaseStandby, &PhaseMain1, &PhaseAttack, &PhaseMain2, &PhaseEnd};
    for (int i = 0; i < 6; ++i) {
        const std::int32_t phase = i + 1;
        items[i]->Click = [this, phase] { JumpPhase(phase); };
    }
    NextPhase.Click = [this] { NextPhase_Click(); };
    End_Turn.Click = [this] { End_Turn_Click(); };
    EndYourTurn.Click = [this] { EndYourTurn_Click(); };
    return true;
}

}  // namespace tw::win
