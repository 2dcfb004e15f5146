// What keeps the designed windows readable on this desktop's fonts: a word too wide for its
// label shrinks instead of being cut, a font file is known by its file name, caption cells of
// a grid are never shown selected, a check box takes its own back colour, labels lie under the
// controls that are windows of their own, and a frame hides what is under it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QGroupBox>
#include <QLineEdit>
#include <QTableView>
#include <filesystem>
#include <memory>
#include <system_error>

#include "frontend/mirror.hpp"
#include "frontend/qt_host.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/reactor.hpp"
#include "tests/frontend/qt_app.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class Window : public platform::Form {
public:
    explicit Window(platform::App& app) : Form(app, "Window") {
        move(0, 0, 9000, 6000);
        Value.move(120, 120, 735, 360);
        Value.set_font_name("Arial");
        Value.set_font_size(14.25);
        Value.set_font_bold(true);
        Wrapped.move(120, 600, 1500, 900);
        Grid.move(120, 1600, 3000, 1500);
        Grid.set_rows(3);
        Grid.set_cols(2);
        Log.move(3300, 120, 1500, 255);
    }
    platform::Label Value{this, "Value"};
    platform::Label Wrapped{this, "Wrapped"};
    platform::Grid Grid{this, "Grid"};
    platform::CheckBox Log{this, "Log"};
    platform::TextBox Text{this, "Text"};
    platform::Label Over{this, "Over"};  // made after the text box, over its place
    platform::Frame Filter{this, "Filter"};
};

class Fit : public frontend::test::Mirrored<Window> {
protected:

    static double widest(const QLabel& l) {
        const QFontMetricsF fm(l.font());
        double w = 0;
        for (const QString& word : l.text().split(' ', Qt::SkipEmptyParts)) w = std::max(w, fm.horizontalAdvance(word));
        return w;
    }
};

TEST_F(Fit, AWordTooWideForItsLabelShrinksAndAFittingOneKeepsItsSize) {
    Window& w = window();
    w.show();
    auto* value = widget_of<QLabel>(w.Value);
    ASSERT_NE(value, nullptr);

    w.Value.set_caption("8");
    EXPECT_DOUBLE_EQ(value->font().pointSizeF(), 14.25);

    w.Value.set_caption("88888888");  // far wider than 49 pixels at 14 points
    EXPECT_LT(value->font().pointSizeF(), 14.25);
    EXPECT_TRUE(value->font().bold());
    EXPECT_LE(widest(*value), value->contentsRect().width() + 0.5);

    // Back to a short text, or a wider label: the designed size returns.
    w.Value.set_caption("8");
    EXPECT_DOUBLE_EQ(value->font().pointSizeF(), 14.25);
    w.Value.set_caption("88888888");
    w.Value.set_width(6000);
    EXPECT_DOUBLE_EQ(value->font().pointSizeF(), 14.25);

    // Words that fit one by one wrap as designed rather than shrink.
    auto* wrapped = widget_of<QLabel>(w.Wrapped);
    w.Wrapped.set_caption("x");
    const double designed = wrapped->font().pointSizeF();
    w.Wrapped.set_caption("one two three four five six seven");
    EXPECT_DOUBLE_EQ(wrapped->font().pointSizeF(), designed);
}

TEST_F(Fit, ALabelFitsItsWholeCaptionInItsBox) {
    Window& w = window();
    w.show();
    auto* label = widget_of<QLabel>(w.Over);
    ASSERT_NE(label, nullptr);
    w.Over.set_font_name("Arial");
    w.Over.set_font_size(8.25);
    struct Case {
        const char* caption;
        double width, height;  // twips
    };
    // A card's name and counter labels on the table, and a label lower than its font's line.
    for (const Case& c : {Case{"Quillfen Beastkin", 1065, 195}, Case{"Counters: 12", 855, 195},
                          Case{"Counters: 3", 855, 120}}) {
        SCOPED_TRACE(c.caption);
        w.Over.move(120, 4000, c.width, c.height);
        w.Over.set_caption(c.caption);
        const QFontMetricsF fm(label->font());
        EXPECT_LE(fm.horizontalAdvance(label->text()), label->contentsRect().width() + 0.5);
        EXPECT_LE(fm.height(), label->contentsRect().height() + 1);
        EXPECT_GE(label->font().pointSizeF(), 8.25 * 0.55);
    }
    // A help text of a few lines in a box a little too low for them: every line shows.
    w.Over.move(120, 4000, 2055, 645);
    w.Over.set_caption(
        "If you need to take control of 1 of these cards. Have your opponent put it into play. Then take "
        "control of it.");
    const QFontMetricsF fm(label->font());
    EXPECT_LE(fm.boundingRect(QRectF(label->contentsRect()).adjusted(0, 0, 0, 1e6), Qt::TextWordWrap, label->text()).height(),
              label->contentsRect().height() + 1);
    // Room to spare: the designed size.
    w.Over.move(120, 4000, 3000, 195);
    w.Over.set_caption("Counters: 1");
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 8.25);
}

TEST_F(Fit, AFontFileIsKnownByTheNameBeforeItsDash) {
    const std::filesystem::path lcd = "/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf";
    if (!std::filesystem::exists(lcd)) GTEST_SKIP() << "no segment font installed";
    tw::test::TempDir dir;
    const auto file = dir.path() / "LCD-BOLD.TTF";
    std::filesystem::copy_file(lcd, file);
    ASSERT_TRUE(host.register_font(file));
    EXPECT_TRUE(QFontInfo(QFont("LCD")).family().startsWith("DSEG7")) << QFontInfo(QFont("LCD")).family().toStdString();
}

TEST_F(Fit, CaptionCellsAreNeverShownSelectedAndCheckBoxesTakeTheirBackColour) {
    Window& w = window();
    w.show();
    auto* grid = widget_of<QTableView>(w.Grid);
    ASSERT_NE(grid, nullptr);
    w.Grid.set_text_matrix(2, 0, "Extra");
    w.Grid.set_text_matrix(2, 1, "3");
    w.Grid.set_col(0);
    w.Grid.set_row(2);  // a caption cell becomes the current one
    const auto* model = grid->model();
    ASSERT_GT(model->rowCount(), 2);
    EXPECT_FALSE(model->flags(model->index(2, 0)) & Qt::ItemIsSelectable);
    EXPECT_TRUE(model->flags(model->index(2, 1)) & Qt::ItemIsSelectable);

    auto* box = widget_of<QCheckBox>(w.Log);
    ASSERT_NE(box, nullptr);
    w.Log.set_back_color(0x282424);
    EXPECT_EQ(box->palette().color(box->backgroundRole()), QColor(0x24, 0x24, 0x28));
    EXPECT_TRUE(box->autoFillBackground());
}

// The stacking order among a container's child widgets, bottom first.
int stack_index(QWidget* w) {
    return static_cast<int>(w->parentWidget()->children().indexOf(w));
}

TEST_F(Fit, LabelsLieUnderTextBoxesWhateverTheirOrderAndFramesHideWhatIsUnder) {
    Window& w = window();
    w.show();
    auto* text = widget_of<QLineEdit>(w.Text);
    auto* over = widget_of<QLabel>(w.Over);
    auto* value = widget_of<QLabel>(w.Value);
    ASSERT_TRUE(text && over && value);
    EXPECT_LT(stack_index(over), stack_index(text));

    w.Over.bring_to_front();  // first among the labels, still under the text box
    EXPECT_LT(stack_index(over), stack_index(text));
    EXPECT_GT(stack_index(over), stack_index(value));
    w.Text.send_to_back();  // last among the windowed, still over every label
    EXPECT_LT(stack_index(over), stack_index(text));
    w.Over.send_to_back();
    EXPECT_LT(stack_index(over), stack_index(value));

    auto* frame = widget_of<QGroupBox>(w.Filter);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->autoFillBackground());
}

}  // namespace
