#include "cards/duel_log.hpp"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/game_log.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

constexpr std::uint32_t kFore = 0x123456;  // the skin's chat colour, told apart from the box's own
constexpr std::uint32_t kBox = 0;          // what set_text and the line end carry

struct Piece {
    std::string text;
    std::uint32_t colour;
    bool underline = false;
    bool operator==(const Piece&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
    return os << "{\"" << p.text << "\", " << p.colour << (p.underline ? ", u" : "") << "}";
}

std::vector<Piece> Pieces(const platform::RichTextBox& box) {
    std::vector<Piece> out;
    for (const auto& r : box.runs())
        out.push_back({box.text().substr(static_cast<std::size_t>(r.start), static_cast<std::size_t>(r.length)),
                       r.fmt.color, r.fmt.underline});
    return out;
}

struct DuelLog : ::testing::Test {
    test::TableFixture fx;
    Tablewright& tw = fx.tw();

    void SetUp() override {
        fx.LoadDuelWindow("Rook");
        tw.prefs.UserName = "Rook";
        tw.duel.ChatForeColor = kFore;
        tw.net.PlayerNames[1] = "Kite";
        tw.net.PlayerNames[2] = "Wren";
        Card drake;
        drake.Name = "Ember Drake";
        drake.SetCode = "SET-001";
        Card golem;
        golem.Name = "Tide Golem";
        golem.SetCode = "SET-002";
        Card kiln;
        kiln.Name = "Elmquist's Kiln";
        kiln.SetCode = "SET-003";
        tw.cards.CardDatabase = {drake, golem, kiln};
    }
    platform::RichTextBox& chat() { return tw.FormA().chat; }
    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const auto& c : tw.net.SentCommands) out.push_back(c.command);
        return out;
    }
};

// ---- ColourChatLine ---------------------------------------------------------------------

struct RenderCase {
    const char* what;
    std::string before;  // the box's text before the line, plain
    std::string line;    // the line added at the end, CR LF included
    std::vector<Piece> expected;
    std::vector<std::string> links;  // ChatCardLinks after element 0
    bool finished = true;            // false: the rendering stops at the speaker tag
};

const std::uint32_t kDrakeLp3000 = rt::rgb(255, 0, 188);

std::vector<RenderCase> RenderCases() {
    const Piece crlf{"\r\n", kBox};
    const Piece ref_drake{"Ember Drake", kCardReferenceColour, true};
    return {
        {"game speaker", "", "<Game> Rook drew a card\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> Rook drew a card", kFore}, crlf}, {}},
        {"game speaker in any case", "", "<gAmE> x\r\n",
         {{"<", kFore}, {"gAmE", kGameSpeakerColour}, {"> x", kFore}, crlf}, {}},
        {"own name", "", "<rook> hi\r\n",
         {{"<", kFore}, {"rook", kOwnSpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"server", "", "<SERVER> hi\r\n",
         {{"<", kFore}, {"SERVER", kServerSpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"seat 1", "", "<Kite> hi\r\n",
         {{"<", kFore}, {"Kite", kSeat1SpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"seat 2", "", "<wren> hi\r\n",
         {{"<", kFore}, {"wren", kSeat2SpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"irc", "", "<IRC> hi\r\n",
         {{"<", kFore}, {"IRC", kIrcSpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"anyone else", "", "<Moss> hi\r\n",
         {{"<", kFore}, {"Moss", kOtherSpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"private message", "", "<PM from Kite> hi\r\n",
         {{"<", kFore}, {"PM from Kite", kPrivateSpeakerColour}, {"> hi", kFore}, crlf}, {}},
        {"earlier lines keep their colours", "<Old> x\r\n", "<Game> y\r\n",
         {{"<Old> x\r\n", kBox}, {"<", kFore}, {"Game", kGameSpeakerColour}, {"> y", kFore}, crlf}, {}},
        {"card reference", "", "<Game> Rook has put down a {card='Ember Drake' set='SET-001'}\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> Rook has put down a ", kFore}, ref_drake, crlf},
         {"Ember Drake|SET-001"}},
        {"set= in any case", "", "<Game> a {card='Ember Drake' SET='SET-001'} b\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> a ", kFore}, ref_drake, {" b", kFore}, crlf},
         {"Ember Drake|SET-001"}},
        {"a name with an apostrophe", "", "<Game> Rook has put down a {card='Elmquist's Kiln' set='SET-003'}\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> Rook has put down a ", kFore},
          {"Elmquist's Kiln", kCardReferenceColour, true}, crlf},
         {"Elmquist's Kiln|SET-003"}},
        {"bad card stays as typed", "", "<Game> a {card='Nope' set='SET-001'}\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> a {card='Nope' set='SET-001'}", kFore}, crlf}, {}},
        {"last reference bad: neither rendered", "",
         "<Game> {card='Ember Drake' set='SET-001'} {card='Nope' set='X'}\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour},
          {"> {card='Ember Drake' set='SET-001'} {card='Nope' set='X'}", kFore}, crlf}, {}},
        {"two references, rendered last first", "",
         "<Game> {card='Ember Drake' set='SET-001'} {card='Tide Golem' set='SET-002'}\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> ", kFore}, ref_drake, {" ", kFore},
          {"Tide Golem", kCardReferenceColour, true}, crlf},
         {"Tide Golem|SET-002", "Ember Drake|SET-001"}},
        {"one card twice: both rendered", "",
         "<Game> {card='Ember Drake' set='SET-001'} and {card='Ember Drake' set='SET-001'}\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> ", kFore}, ref_drake, {" and ", kFore}, ref_drake, crlf},
         {"Ember Drake|SET-001", "Ember Drake|SET-001"}},
        {"braces that are no reference", "", "<Moss> {hi}\r\n",
         {{"<", kFore}, {"Moss", kOtherSpeakerColour}, {"> {hi}", kFore}, crlf}, {}},
        {"link", "", "<Moss> see [link=some/page] now\r\n",
         {{"<", kFore}, {"Moss", kOtherSpeakerColour}, {"> see ", kFore}, {"some/page", kLinkColour, true},
          {" now", kFore}, crlf}, {}},
        // An open "[link=" of the line before and a "]" of this one are no link.
        {"a link never crosses a line end", "<Rook> a [link=x\r\n", "<Kite> b] [link=c]\r\n",
         {{"<Rook> a [link=x\r\n", kBox}, {"<", kFore}, {"Kite", kSeat1SpeakerColour}, {"> b] ", kFore},
          {"c", kLinkColour, true}, crlf}, {}},
        {"not even through a rendered target's own bracket", "<Rook> a [link=x\r\n", "<Kite> [link=d] b]\r\n",
         {{"<Rook> a [link=x\r\n", kBox}, {"<", kFore}, {"Kite", kSeat1SpeakerColour}, {"> ", kFore},
          {"d] b", kLinkColour, true}, crlf}, {}},
        {"life points", "", "<Game> Rook loses 5000 LP (3000 LP)\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> Rook loses 5000 LP (", kFore}, {"3000", kDrakeLp3000},
          {" LP)", kFore}, crlf}, {}},
        {"life points not a number", "", "<Game> x (lots LP)\r\n",
         {{"<", kFore}, {"Game", kGameSpeakerColour}, {"> x (lots LP)", kFore}, crlf}, {}},
        {"a < of the text's own: left as typed", "", "<Rook> I <3 {card='Ember Drake' set='SET-001'}\r\n",
         {{"<Rook> I ", kBox}, {"<3 {card='Ember Drake' set='SET-001'}", kFore}, crlf}, {}, false},
    };
}

TEST_F(DuelLog, ColourChatLineRendersEachCase) {
    for (const auto& c : RenderCases()) {
        SCOPED_TRACE(c.what);
        tw.log.ChatCardLinks = {""};
        auto& box = chat();
        box.set_text(c.before);
        box.set_sel_start(rt::len(c.before));
        box.set_sel_text(c.line);
        ColourChatLine(tw, box);
        EXPECT_EQ(Pieces(box), c.expected);
        std::vector<std::string> links{""};
        links.insert(links.end(), c.links.begin(), c.links.end());
        EXPECT_EQ(tw.log.ChatCardLinks, links);
        if (!c.finished) continue;
        // Ready for the next line: caret before the last character, typing in the chat colour.
        EXPECT_EQ(box.sel_start(), rt::len(box.text()) - 1);
        EXPECT_EQ(box.sel_length(), 0);
        EXPECT_EQ(box.insertion_format().color, kFore);
    }
}

TEST(LifePointColour, FollowsTheFigure) {
    struct Case {
        std::int32_t lp;
        int red, blue;
    };
    const Case cases[] = {
        {8000, 0, 255}, {7900, 6, 255}, {4000, 255, 255}, {3000, 255, 188}, {3016, 255, 188},
        {24, 255, 2},   {40, 255, 2},   {7960, 2, 255},   {0, 255, 0},      {-500, 255, 0},   {9000, 0, 255},
        {2147483647, 0, 255}, {-2147483647 - 1, 255, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lp);
        EXPECT_EQ(LifePointColour(c.lp), rt::rgb(c.red, 0, c.blue));
    }
}

// ---- AddChat ----------------------------------------------------------------------------

TEST_F(DuelLog, OrdinaryLineIsSentThenFollowedByThePileCounts) {
    AddChat(tw, "hello", "Rook", true);
    EXPECT_EQ(chat().text(), "<Rook> hello\r\n");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ch~<Rook> hello", "us~0:0:0:0:0"}));
    EXPECT_EQ(tw.FormA().Stats.text_matrix(2, 1), "0");
    EXPECT_EQ(chat().sel_start(), rt::len(chat().text()));
    EXPECT_EQ(chat().sel_length(), 0);
}

TEST_F(DuelLog, ReceivedLineSendsOnlyThePileCounts) {
    AddChat(tw, "hi there", "Kite", false);
    AddChat(tw, "(brb)", "Kite", false);
    EXPECT_EQ(chat().text(), "<Kite> hi there\r\n<Kite> (brb)\r\n");
    EXPECT_EQ(Sent(), (std::vector<std::string>{"us~0:0:0:0:0"}));
}

TEST_F(DuelLog, BracketedLineGoesOutWithoutBracketsFromASeatOnly) {
    for (int seat : {0, 1, 2}) {
        SCOPED_TRACE(seat);
        tw.net.SentCommands.clear();
        tw.net.PlayerNumber = seat;
        AddChat(tw, "(brb)", "Rook", true);
        if (seat == 0) EXPECT_TRUE(Sent().empty());
        else EXPECT_EQ(Sent(), (std::vector<std::string>{"ch~<Rook> brb"}));
    }
    // Without its closing bracket it is an ordinary line.
    tw.net.SentCommands.clear();
    AddChat(tw, "(brb", "Rook", true);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ch~<Rook> (brb", "us~0:0:0:0:0"}));
    EXPECT_EQ(tw.net.SentCommands.back().tag, 20);
}

TEST_F(DuelLog, EmptyTextIsShownButNothingFollows) {
    AddChat(tw, "", "Rook", true);
    EXPECT_EQ(chat().text(), "<Rook> \r\n");
    EXPECT_TRUE(Sent().empty());
}

TEST_F(DuelLog, TimestampIsShownButNotSent) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 0;
    t.tm_mday = 2;
    t.tm_hour = 15;
    t.tm_min = 4;
    t.tm_sec = 5;
    fx.clock.set_local_time(t);
    tw.prefs.ShowTimestamps = true;
    AddChat(tw, "hello", "Rook", true);
    EXPECT_EQ(chat().text(), "<Rook> (3:04:05 PM) hello\r\n");
    EXPECT_EQ(Sent().front(), "ch~<Rook> hello");
}

TEST_F(DuelLog, LineIsAppendedAtTheEndWhereverTheCaretWas) {
    AddChat(tw, "one", "Game", false);
    chat().set_sel_start(2);
    chat().set_sel_length(3);
    AddChat(tw, "two", "Game", false);
    EXPECT_EQ(chat().text(), "<Game> one\r\n<Game> two\r\n");
    // The first line keeps its rendering.
    EXPECT_EQ(Pieces(chat())[1], (Piece{"Game", kGameSpeakerColour}));
}

TEST_F(DuelLog, GameLogHoldsTheLinesAsShownWhileLogging) {
    const auto file = fx.dir.path() / "duel.qlra";
    tw.log.LogFileName = file.string();
    AddChat(tw, "before logging", "Game", false);
    EXPECT_FALSE(std::filesystem::exists(file));

    tw.log.LoggingOn = true;
    AddChat(tw, "one", "Game", false);
    EXPECT_EQ(test::TempDir::read(file), GameLogFileText(chat().text()));
    AddChat(tw, "two {card='Ember Drake' set='SET-001'}", "Game", false);
    SaveLogNow(tw);
    // The log holds the text as shown: the reference as its name.
    EXPECT_EQ(test::TempDir::read(file),
              GameLogFileText("<Game> before logging\r\n<Game> one\r\n<Game> two Ember Drake\r\n"));
}

TEST_F(DuelLog, AttentionFromThePeerRaisesTheBoxOncePerRun) {
    AddChat(tw, "/attention", "Rook", false);  // the player's own: nothing
    EXPECT_TRUE(fx.host.messages().empty());

    AddChat(tw, "/ATTENTION", "Kite", false);
    ASSERT_EQ(fx.host.messages().size(), 1u);
    EXPECT_EQ(fx.host.messages()[0].text, "Attention!!");
    EXPECT_EQ(fx.host.messages()[0].title, "Tablewright");
    EXPECT_EQ(fx.host.messages()[0].icon, platform::MsgIcon::None);
    EXPECT_EQ(fx.host.topmost_calls(),
              (std::vector<std::pair<std::string, bool>>{{"FormA", true}, {"FormA", false}}));
    EXPECT_TRUE(tw.duel.AttentionShown);

    tw.prefs.ShowTimestamps = true;
    AddChat(tw, "/attention", "Kite", false);
    EXPECT_EQ(fx.host.messages().size(), 1u);
    // Each is still an ordinary line.
    EXPECT_EQ(rt::instr(chat().text(), "<Kite> /ATTENTION\r\n"), 20);
}

TEST_F(DuelLog, AttentionIsComparedWithoutTheTimestamp) {
    tw.prefs.ShowTimestamps = true;
    AddChat(tw, "/attention", "Kite", false);
    EXPECT_EQ(fx.host.messages().size(), 1u);
}

}  // namespace
}  // namespace tw
