// The account dialog's "Save Changes And Exit" on a settings file that cannot be written: the
// player is told and the dialog stays, the file as it was.
#include <gtest/gtest.h>

#include <string>

#include "cards/settings.hpp"
#include "net/jabber_window.hpp"
#include "tests/support/forked.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

using test::WriteRefusal;

TEST(AccountSaveFailure, IsToldAndTheDialogStays) {
    for (WriteRefusal r : {WriteRefusal::ReadOnlyFolder, WriteRefusal::FileSizeLimit}) {
        SCOPED_TRACE(test::Name(r));
        test::TableFixture f;
        const std::string before = "[settings]\r\nJUSER=old\r\nJPASS=old\r\n";
        const auto file = f.dir.write("settings.ini", before);
        auto& dialog = f.tw().frmJabber();
        dialog.show();
        dialog.Text1.set_text("carol");
        dialog.Text2.set_text("a longer new password");
        // Bits: 1 not told, 2 dialog gone, 4 file changed.
        const int faults = test::UnderRefusal(r, f.dir.path(), [&] {
            dialog.Command1_Click();
            const auto& said = f.host.messages();
            int out = said.size() == 1 && said[0].text == kSettingsNotSaved ? 0 : 1;
            if (!dialog.visible()) out |= 2;
            if (test::TempDir::read(file) != before) out |= 4;
            return out;
        });
        EXPECT_EQ(faults, 0);
    }
}

}  // namespace
}  // namespace tw
