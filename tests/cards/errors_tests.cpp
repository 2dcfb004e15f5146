#include "cards/errors.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "cards/hax.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "tests/support/table_fixture.hpp"

namespace {

using platform::MsgIcon;
using tw::test::TableFixture;
using tw::test::TempDir;

struct ErrorReports : ::testing::Test, TableFixture {
    std::filesystem::path report_file() const { return dir.path() / "errormessage.txt"; }
};

TEST_F(ErrorReports, ReportBeforeAnyCommandHasEmptyLastCommandAndNoTrailingLineEnd) {
    tw().errors.LineMarker = "334C";
    tw::ReportRuntimeError(tw(), "Subscript out of range", "9", "DetermineInfo");

    const std::string expected =
        "There has been a runtime error:\r\n"
        "Number: 9\r\n"
        "Desc: Subscript out of range\r\n"
        "Current Sub: DetermineInfo\r\n"
        "Last Command: \r\n"
        "Line: 334C";
    EXPECT_EQ(TempDir::read(report_file()), expected);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, expected);
    EXPECT_EQ(host.messages()[0].title, "Tablewright");
    EXPECT_EQ(host.messages()[0].icon, MsgIcon::Critical);
}

TEST_F(ErrorReports, SecondReportReplacesTheWholeFile) {
    tw().errors.LastReceivedCommand = "lc~3~A rather long card name for the first report:ZQM|$|12";
    tw().errors.LineMarker = "620";
    tw::ReportRuntimeError(tw(), "Control array element does not exist", "340", "OpenControl");

    tw().errors.LastReceivedCommand = "rc~1";
    tw().errors.LineMarker = "";
    tw::ReportRuntimeError(tw(), "Overflow", "6", "DI_MI");

    EXPECT_EQ(TempDir::read(report_file()),
              "There has been a runtime error:\r\nNumber: 6\r\nDesc: Overflow\r\n"
              "Current Sub: DI_MI\r\nLast Command: rc~1\r\nLine: ");
    EXPECT_EQ(host.messages().size(), 2u);
}

TEST_F(ErrorReports, UnwritableReportFileIsShownAndNotReportedFurther) {
    std::filesystem::create_directory(report_file());  // a folder where the file should go
    EXPECT_NO_THROW(tw::ReportRuntimeError(tw(), "Overflow", "6", "DI_CO"));
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(report_file()));
}

TEST_F(ErrorReports, MessagesBeforeTheDuelWindowLoadsAreTitledWithTheBlankOnly) {
    tw::ShowMessageDirect(tw(), "I cannot find the Main Card List. Program Closing.");
    EXPECT_FALSE(tw().hax.loaded());  // the direct box leaves hax alone

    tw::ShowMessage(tw(), "Make sure you goto Menu|Settings to set your username");
    ASSERT_EQ(host.messages().size(), 2u);
    for (const auto& m : host.messages()) {
        EXPECT_EQ(m.title, "Tablewright ");
        EXPECT_EQ(m.icon, MsgIcon::Information);
    }
    EXPECT_EQ(host.messages()[1].text, "Make sure you goto Menu|Settings to set your username");
    EXPECT_FALSE(tw().FormA.loaded());

    // ShowMessage creates hax by hiding it: zero size, never shown.
    ASSERT_TRUE(tw().hax.loaded());
    auto& hax = *tw().hax.peek();
    EXPECT_FALSE(hax.visible());
    EXPECT_EQ(hax.caption(), "Tablewright ");
    EXPECT_EQ(hax.width(), 0);
    EXPECT_EQ(hax.height(), 0);
}

TEST_F(ErrorReports, TitlesCarryTheVersionOnceSet) {
    tw().VersionText = "Version 9.1 [OCG Mode]";
    tw::ShowMessage(tw(), "x");
    tw::ShowMessageDirect(tw(), "y");
    EXPECT_EQ(host.messages()[0].title, "Tablewright Version 9.1 [OCG Mode]");
    EXPECT_EQ(host.messages()[1].title, "Tablewright Version 9.1 [OCG Mode]");
    EXPECT_EQ(tw().hax.peek()->caption(), "Tablewright Version 9.1 [OCG Mode]");
}

TEST_F(ErrorReports, UnloadingHaxEndsTheProgram) {
    tw().hax().hide();
    EXPECT_THROW(tw().hax.unload(), platform::ProgramEnd);
    EXPECT_TRUE(app.ended());
}

TEST_F(ErrorReports, SendErrorWhileNotConnectedShowsTheNoticeAndSendsNothing) {
    auto& forma = tw().FormA();
    tw().prefs.UserName = "Ann";
    tw().net.PlayerNumber = 2;
    const auto before_sent = tw().net.SentCommands.size();
    const auto before_shown = host.messages().size();

    // Twice: the tag variable must start from 0 on each call.
    forma.sendError("cardstencil_MouseMove");
    forma.sendError("hand_Click");

    ASSERT_EQ(tw().net.SentCommands.size(), before_sent + 2);
    for (std::size_t i = before_sent; i < tw().net.SentCommands.size(); ++i) {
        const auto& sent = tw().net.SentCommands[i];
        EXPECT_EQ(sent.command, "sc~Ann");
        EXPECT_EQ(sent.tag, 20);
        EXPECT_FALSE(sent.connected);
    }
    ASSERT_EQ(host.messages().size(), before_shown + 2);
    EXPECT_EQ(host.messages()[before_shown].text,
              "You have encountered an error in: cardstencil_MouseMove\r\nYour opponent has been informed.");
    EXPECT_EQ(host.messages()[before_shown].icon, MsgIcon::Information);
    EXPECT_TRUE(tw().hax.loaded());
}

}  // namespace
