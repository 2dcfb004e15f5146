#include "net/handshake.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/game_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt_error.hpp"
#include "net/dispatcher.hpp"
#include "net/send_command.hpp"
#include "tests/support/duel_pair.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::PeerTable;

const fs::path kButtons = fs::path(TW_SOURCE_DIR) / "data" / "Buttons";

TEST(Handshake, TheAnswerIsTheSumOfTheFirstFifteenDigits) {
    EXPECT_EQ(HandshakeAnswer("1234567891234567"), "66");
    EXPECT_EQ(HandshakeAnswer("999999999999999"), "135");
    for (const char* bad : {"12345678912345", "12345678912345x", ""}) {
        EXPECT_THROW(HandshakeAnswer(bad), rt::RuntimeError) << bad;
    }

    PeerTable t;
    t.Send("hs~1234567891234567|$|1~0");
    EXPECT_EQ(t.Answers(), std::vector<std::string>{"dh~66"});

    // Our own challenge: sixteen digits 1 to 9, and the answer it expects.
    SendChallenge(t.tw());
    const auto sent = t.Answers();
    ASSERT_EQ(sent.size(), 1u);
    const std::string challenge = sent[0].substr(3);
    EXPECT_EQ(sent[0].substr(0, 3), "hs~");
    ASSERT_EQ(challenge.size(), 16u);
    EXPECT_EQ(challenge.find_first_not_of("123456789"), std::string::npos);
    EXPECT_EQ(t.tw().net.ExpectedHandshake, HandshakeAnswer(challenge));
}

TEST(Handshake, ARightAnswerSetsTheCountsBackAfterItsOwnLinesWentOut) {
    PeerTable t;
    auto& tw = t.tw();
    tw.net.ExpectedHandshake = "66";
    tw.net.SentCount = 9;
    tw.net.GarbledCount = 2;
    t.Send("dh~66|$|12~0");
    EXPECT_TRUE(t.side.Logged("<Game> Handshake Accepted"));
    const auto answers = t.Answers();
    EXPECT_EQ(answers, (std::vector<std::string>{"ch~<Game> Handshake Accepted", "us~0:0:0:0:0", "mi~Ann:20:1::"}));
    EXPECT_EQ(tw.net.SentCount, 0);
    EXPECT_EQ(tw.net.ReceivedCount, 0);
    EXPECT_EQ(tw.net.GarbledCount, 0);
    EXPECT_EQ(tw.FormA().hack.caption(), "Probability of Hacking: 0%");
    t.Send("pong~0|$|1~1");
    EXPECT_EQ(tw.FormA().hack.caption(), "0%");
    std::int32_t cls = 0;
    SendCommand(tw, "nl~8000", cls);
    t.reactor.pump(0);
    EXPECT_EQ(test::CommandsIn(t.peer.read()), std::vector<std::string>{"nl~8000|$|1"});
}

TEST(Handshake, AWrongAnswerEndsTheConnection) {
    PeerTable t;
    t.tw().net.ExpectedHandshake = "66";
    t.Send("dh~65|$|1~0");
    EXPECT_TRUE(t.side.Logged("<Game> Invalid Handshake, Disconnecting"));
    EXPECT_EQ(t.side.socket().state(), platform::TcpSocket::StateClosed);
}

TEST(TamperMeter, ShowsTheGapBeyondTheAllowanceAsPercentAndLight) {
    test::TableFixture fx;
    fx.LoadDuelWindow();
    auto& tw = fx.tw();
    fs::create_directories(fx.dir.path() / "Buttons");
    for (const char* f : {"red.jpg", "yellow.jpg", "green.jpg"}) fs::copy_file(kButtons / f, fx.dir.path() / "Buttons" / f);
    auto& duel = tw.FormA();
    struct Case {
        std::int32_t received, carried, garbled;
        const char* caption;
        std::uint32_t fore;
        const char* light;
    } cases[] = {
        {40, 30, 0, "25%", 16777215, "green.jpg"},
        {40, 20, 0, "75%", 16777215, "red.jpg"},
        {40, 25, 0, "50%", 0, "yellow.jpg"},
        {40, 35, 0, "0%", 16777215, "green.jpg"},
        {40, 15, 0, "100%", 16777215, "red.jpg"},
        {40, 0, 0, "100%", 16777215, "red.jpg"},
        {40, 15, 20, "0%", 16777215, "green.jpg"},  // dropped data is allowed for
        {0, 2147483647, 0, "100%", 16777215, "red.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        tw.net.ReceivedCount = c.received;
        tw.net.GarbledCount = c.garbled;
        UpdateHackMeter(tw, c.carried);
        EXPECT_EQ(duel.hack.caption(), c.caption);
        EXPECT_EQ(duel.hack.fore_color(), c.fore);
        ASSERT_TRUE(duel.Image2.picture());
        EXPECT_EQ(duel.Image2.picture()->source.filename(), c.light);
    }
    // Without its picture the light stays as it was; the percentage still shows.
    fs::remove(fx.dir.path() / "Buttons" / "yellow.jpg");
    tw.net.ReceivedCount = 40;
    tw.net.GarbledCount = 0;
    UpdateHackMeter(tw, 25);
    EXPECT_EQ(duel.hack.caption(), "50%");
    EXPECT_EQ(duel.Image2.picture()->source.filename(), "red.jpg");
}

struct PlayerInfoCase : ::testing::Test {
    PeerTable t;
    Tablewright& tw = t.tw();
    win::FormA& duel = tw.FormA();
    PlayerInfoCase() { tw.log.LogFolder = "Logs/"; }
};

TEST_F(PlayerInfoCase, AnOlderVersionEndsTheConnectionButTheNameIsStillTaken) {
    t.Send("mi~Bob:19:2:0:|$|1~0");
    EXPECT_TRUE(t.side.Logged("<Game> Opponents`s version is too old! Disconnecting."));
    // The box about the version, then the one for the connection now gone.
    ASSERT_EQ(t.side.host.messages().size(), 2u);
    EXPECT_EQ(t.side.host.messages()[0].text, "Opponent is using a version that is too old. Im disconnecting");
    EXPECT_EQ(t.side.host.messages()[1].text, "Disconnected!");
    EXPECT_EQ(t.side.socket().state(), platform::TcpSocket::StateClosed);
    EXPECT_EQ(tw.net.PlayerNames[2], "Bob");
    EXPECT_TRUE(t.side.Logged("<Game> Your Opponent is Bob"));
    EXPECT_EQ(fs::path(tw.log.LogFileName), LogsFolder(tw) / "1-1_12_0_Bob.qlra");
}

TEST_F(PlayerInfoCase, NamesTheOpponentInItsSeatsMenus) {
    t.Send("mi~Bob:21:2:1:|$|1~0");  // a newer version is welcome
    EXPECT_TRUE(t.side.host.messages().empty());
    EXPECT_EQ(duel.Player2GY.caption(), "Search Bob GY (Blue)");
    EXPECT_EQ(duel.Player2RFG.caption(), "Search Bob RFG (Blue)");
    EXPECT_TRUE(duel.Player2GY.enabled());
    EXPECT_TRUE(duel.Player2RFG.enabled());
    EXPECT_TRUE(duel.SearchOppGraveyard.enabled());
    EXPECT_TRUE(duel.SearchOppRFG.enabled());
    EXPECT_EQ(duel.Player1GY.caption(), "Search...");

    t.Send("mi~Cy:20:1:0:|$|2~1");
    EXPECT_EQ(duel.Player1GY.caption(), "Search Cy GY (Yellow)");
    EXPECT_EQ(duel.Player1RFG.caption(), "Search Cy RFG (Yellow)");
    EXPECT_EQ(tw.net.PlayerNames[1], "Cy");
    // Seats 3 and 4 are named without a menu of their own.
    t.Send("mi~Dee:20:4:0:|$|3~2");
    EXPECT_EQ(tw.net.PlayerNames[4], "Dee");
    EXPECT_TRUE(t.side.socket().state() == platform::TcpSocket::StateConnected);
}

TEST_F(PlayerInfoCase, OurOwnInformationCarriesNoSeparatorsInTheName) {
    tw.prefs.UserName = "A:n~n";
    tw.net.UsingOnlineDeck = true;
    EXPECT_EQ(PlayerInfo(tw, true), "Ann:20:1:1:");
    EXPECT_EQ(PlayerInfo(tw, false), "Ann:20:1::");
}

TEST_F(PlayerInfoCase, TheRelaysProbeIsAnsweredOnlyInARelayOrServerDuel) {
    duel.Label5[0].set_visible(true);
    t.Send("pd~c|$|1~0");
    EXPECT_TRUE(t.Answers().empty());
    EXPECT_TRUE(duel.Label5[0].visible());
    tw.net.RelayMode = true;
    t.Send("pd~c|$|2~1");
    EXPECT_EQ(t.Answers(), std::vector<std::string>{"mi~Ann:20:1:0:"});
    EXPECT_FALSE(duel.Label5[0].visible());
}

// Through a relay our opening was either passed on or lost; which, the peer's handshake tells.
// Until then the probe's answer waits, so that a partner that has our information does not get
// it again between its answer to our challenge and its accept (which would put the counts past
// the meter's allowance). A server duel answers at once, as before.
TEST_F(PlayerInfoCase, InARelayDuelTheProbeWaitsUntilTheHandshakeShowsWhetherOurOpeningArrived) {
    const auto infos = [&] {
        int n = 0;
        for (const auto& c : t.side.Sent()) n += c == "mi~Ann:20:1:0:" ? 1 : 0;
        return n;
    };
    tw.net.RelayMode = true;
    const auto open = [&] {
        SendChallenge(tw);
        SendPlayerInfo(tw, true);
    };

    // The peer answers our challenge: it heard the opening, and the accept's copy is enough.
    open();
    t.Send("pd~c|$|-1~0");
    EXPECT_EQ(infos(), 1) << "the probe's answer waits";
    t.Send("dh~" + tw.net.ExpectedHandshake + "|$|1~1");
    t.Send("mi~Bob:20:2::|$|2~2");
    EXPECT_EQ(infos(), 1);
    const auto sent = t.side.Sent();
    EXPECT_EQ(sent.back().rfind("us~", 0), 0u);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "mi~Ann:20:1::"), 1);

    // The peer accepts our answer to its challenge but never answered ours: the opening was lost,
    // and the probe is answered, once. The peer's first information does not tell that.
    t.side.table->net.SentCommands.clear();
    open();
    t.Send("pd~c|$|-1~2");
    t.Send("mi~Bob:20:2:0:|$|3~3");
    EXPECT_EQ(infos(), 1);
    t.Send("mi~Bob:20:2::|$|4~4");
    EXPECT_EQ(infos(), 2);
    t.Send("mi~Bob:20:2::|$|5~5");
    EXPECT_EQ(infos(), 2);
    EXPECT_TRUE(t.side.host.messages().empty());

    // In a server duel there is no relay to keep or lose the opening.
    t.side.table->net.SentCommands.clear();
    tw.net.ServerDuel = true;
    open();
    std::string probe = "pd~c|$|-1";
    std::int32_t cls = 0;
    DetermineInfo(tw, probe, cls);
    EXPECT_EQ(infos(), 2);
}

}  // namespace
}  // namespace tw
