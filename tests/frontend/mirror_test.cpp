// The Qt front end under the offscreen platform: the mirror follows the model, the person's
// input reaches the model's handlers, boxes are real and answered here, and the reactor keeps
// running inside Qt's nested loops.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frontend/convert.hpp"
#include "frontend/mirror.hpp"
#include "frontend/qt_host.hpp"
#include "tests/frontend/qt_app.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/control_array.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/menu.hpp"
#include "platform/reactor.hpp"
#include "platform/tcp.hpp"
#include "platform/timer.hpp"

namespace {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

class Window : public platform::Form {
public:
    explicit Window(platform::App& app) : Form(app, "Window") {
        set_caption("Table");
        move(0, 0, 6000 + 8 * 15, 4500 + 27 * 15);
        Label1.move(120, 120, 2400, 300);
        Command1.move(120, 600, 1200, 375);
        Command1.set_caption("&Go");
        List1.move(120, 1100, 2400, 1950);
        Rich1.move(2700, 120, 3000, 2000);
        Timer1.set_interval(0);
        mnuFile.set_caption("&File");
        mnuSave.set_caption("&Save");
        mnuSave.set_shortcut_text("Ctrl+S");
        mnuPop.set_caption("pop");
        mnuPop.set_visible(false);
        mnuPlay.set_caption("Play");
        mnuDiscard.set_caption("Discard");
        Command1.Click = [this] { Command1_Click(); };
        Label1.MouseDown = [this](int b, int, double, double) { log.push_back("down" + std::to_string(b)); };
        Label1.Click = [this] { log.push_back("click"); };
        Label1.MouseUp = [this](int b, int, double, double) { log.push_back("up" + std::to_string(b)); };
        Label1.DblClick = [this] { log.push_back("dbl"); };
        List1.Click = [this] { log.push_back("list " + std::to_string(List1.list_index())); };
        Timer1.Tick = [this] {
            ++ticks;
            if (on_tick) on_tick();
        };
        mnuSave.Click = [this] { log.push_back("save"); };
    }

    void Command1_Click() {
        if (on_command) on_command();
    }
    void Form_Unload(bool& cancel) override { cancel = refuse_unload; }
    void Form_Activate() override { ++activations; }
    bool refuse_unload = false;
    int activations = 0;

    platform::Label Label1{this, "Label1"};
    platform::CommandButton Command1{this, "Command1"};
    platform::ListBox List1{this, "List1"};
    platform::RichTextBox Rich1{this, "Rich1"};
    platform::Timer Timer1{this, "Timer1"};
    platform::Menu mnuFile{this, "mnuFile"};
    platform::Menu mnuSave{&mnuFile, "mnuSave"};
    platform::Menu mnuPop{this, "mnuPop"};
    platform::Menu mnuPlay{&mnuPop, "mnuPlay"};
    platform::Menu mnuDiscard{&mnuPop, "mnuDiscard"};

    std::vector<std::string> log;
    int ticks = 0;
    std::function<void()> on_command;
    std::function<void()> on_tick;
};

class FrontEnd : public frontend::test::Mirrored<Window> {
protected:

    Window& shown() {
        Window& w = window();
        w.show();
        return w;
    }


    // Runs Qt's own loop (zero timers, deferred deletes) once.
    static void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    static void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
        QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), b, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }

    // Runs `answer` from Qt's loop as soon as a modal window is up (a box opened by the model).
    template <class Dialog>
    void when_modal(std::function<void(Dialog&)> answer) {
        auto* poll = new QTimer;
        poll->setInterval(1);
        QObject::connect(poll, &QTimer::timeout, [poll, answer] {
            if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                answer(*d);
            }
        });
        poll->start();
    }
};

TEST_F(FrontEnd, PropertyChangesShowInTheirWidgets) {
    Window& w = shown();
    auto* label = widget_of<QLabel>(w.Label1);
    ASSERT_NE(label, nullptr);
    QWidget* top = mirror.widget(w);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->windowTitle(), "Table");

    w.Label1.set_caption("Caf\xE9 <b>&&</b> & more");
    EXPECT_EQ(label->text(), QString::fromUtf8("Caf\xC3\xA9 <b>&</b>  more"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);  // names from the network are never markup
    w.Label1.set_alignment(platform::Label::Alignment::Right);  // counts over their dim digits
    EXPECT_TRUE(label->alignment() & Qt::AlignRight);

    w.set_caption("Duel \x96 round 2");
    EXPECT_EQ(top->windowTitle(), QString::fromUtf8("Duel \xE2\x80\x93 round 2"));

    w.Label1.move(1500, 300, 3000, 450);
    EXPECT_EQ(label->geometry(), QRect(100, 20, 200, 30));
    w.Label1.set_fore_color(0x0000FF);  // red in the lowest byte
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    w.Label1.set_visible(false);
    EXPECT_TRUE(label->isHidden());

    // The client area is the designed size: the model's frame and caption are outside it.
    EXPECT_EQ(top->size(), QSize(400, 300));
    w.set_visible(false);
    EXPECT_FALSE(top->isVisible());
}

TEST_F(FrontEnd, ADisabledControlShowsTheDesktopsDisabledText) {
    Window& w = shown();
    auto* button = widget_of<QPushButton>(w.Command1);
    ASSERT_NE(button, nullptr);
    w.Command1.set_fore_color(0x000000);
    w.Command1.set_enabled(false);
    EXPECT_FALSE(button->isEnabled());
    const QColor disabled = QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText);
    EXPECT_EQ(button->palette().color(QPalette::Disabled, QPalette::ButtonText), disabled);
    EXPECT_NE(button->palette().color(QPalette::Active, QPalette::ButtonText), disabled);
}

TEST_F(FrontEnd, ClicksRunTheModelsHandlersInThePlatformsOrder) {
    Window& w = shown();
    int clicks = 0;
    w.on_command = [&] { ++clicks; };
    auto* button = widget_of<QPushButton>(w.Command1);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Go");
    button->click();
    EXPECT_EQ(clicks, 1);

    auto* label = widget_of<QLabel>(w.Label1);
    mouse(label, QEvent::MouseButtonPress, {5, 5});
    mouse(label, QEvent::MouseButtonRelease, {5, 5});
    mouse(label, QEvent::MouseButtonDblClick, {5, 5});
    mouse(label, QEvent::MouseButtonRelease, {5, 5});
    mouse(label, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton);
    mouse(label, QEvent::MouseButtonRelease, {5, 5}, Qt::RightButton);
    EXPECT_EQ(w.log, (std::vector<std::string>{"down1", "click", "up1", "dbl", "up1", "down2", "up2"}));

    // A disabled control takes nothing.
    w.log.clear();
    w.Command1.set_enabled(false);
    EXPECT_FALSE(button->isEnabled());
    w.Label1.set_enabled(false);
    mouse(label, QEvent::MouseButtonPress, {5, 5});
    mouse(label, QEvent::MouseButtonRelease, {5, 5});
    EXPECT_TRUE(w.log.empty());
}

TEST_F(FrontEnd, ListSelectionAndColoursFollowTheModelAndAClickSelects) {
    Window& w = shown();
    auto* list = widget_of<QListWidget>(w.List1);
    ASSERT_NE(list, nullptr);
    for (const char* s : {"Alpha", "Beta", "Gamma", "Delta"}) w.List1.add_item(s);
    w.List1.set_fore_color(0x00FF00);
    w.List1.set_back_color(0x000000);
    w.List1.set_list_index(1);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(2)->text(), "Gamma");
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_EQ(list->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_EQ(list->palette().color(QPalette::Base), QColor(0, 0, 0));

    // Items change in place: the untouched ones keep their Qt items.
    QListWidgetItem* first = list->item(0);
    w.List1.remove_item(2);
    w.List1.add_item("Omega", 1);
    EXPECT_EQ(list->item(0), first);
    EXPECT_EQ(list->item(1)->text(), "Omega");
    EXPECT_EQ(list->count(), 4);
    EXPECT_EQ(list->currentRow(), 2);  // Beta moved down and stays selected

    // A press on the fourth row (13 pixels a row) selects it: Click once.
    w.log.clear();
    mouse(list->viewport(), QEvent::MouseButtonPress, {10, 3 * 13 + 5});
    mouse(list->viewport(), QEvent::MouseButtonRelease, {10, 3 * 13 + 5});
    EXPECT_EQ(w.List1.list_index(), 3);
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_EQ(w.log, (std::vector<std::string>{"list 3"}));

    w.List1.clear();
    EXPECT_EQ(list->count(), 0);
}

TEST_F(FrontEnd, RichTextAppendsWithItsColoursWithoutRedrawingTheBox) {
    Window& w = shown();
    auto* rich = widget_of<QTextEdit>(w.Rich1);
    ASSERT_NE(rich, nullptr);
    auto append = [&](const std::string& line, platform::Color c) {
        w.Rich1.set_sel_start(static_cast<int>(w.Rich1.text().size()));
        w.Rich1.set_sel_color(c);
        w.Rich1.set_sel_text(line);
    };
    append("Ann: hi\r\n", 0x0000FF);

    struct Change { int at, removed, added; };
    std::vector<Change> changes;
    QObject::connect(rich->document(), &QTextDocument::contentsChange,
                     [&](int at, int removed, int added) { changes.push_back({at, removed, added}); });
    append("Bob: <hello>\r\n", 0xFF0000);

    EXPECT_EQ(rich->toPlainText(), "Ann: hi\nBob: <hello>\n");
    // One change, at the end, removing nothing: an append.
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].at, 8);
    EXPECT_EQ(changes[0].removed, 0);

    auto colour_at = [&](int pos) {
        QTextCursor cur(rich->document());
        cur.setPosition(pos + 1);
        return cur.charFormat().foreground().color();
    };
    EXPECT_EQ(colour_at(0), QColor(255, 0, 0));
    EXPECT_EQ(colour_at(9), QColor(0, 0, 255));

    // Re-colouring a stretch changes that stretch only.
    changes.clear();
    w.Rich1.set_sel_start(0);
    w.Rich1.set_sel_length(3);
    w.Rich1.set_sel_color(0x00FF00);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].at, 0);
    EXPECT_EQ(colour_at(1), QColor(0, 255, 0));
    EXPECT_EQ(colour_at(4), QColor(255, 0, 0));

    // A CR LF pair completed across two appends is one line break.
    w.Rich1.set_text("");
    append("a\r", 0);
    append("\nb", 0);
    EXPECT_EQ(rich->toPlainText(), "a\nb");
    w.Rich1.set_sel_start(3);
    EXPECT_EQ(rich->textCursor().position(), 2);
}

TEST_F(FrontEnd, YellowTextFollowsTheGroundOfItsBox) {
    Window& w = shown();
    auto* rich = widget_of<QTextEdit>(w.Rich1);
    ASSERT_NE(rich, nullptr);
    auto colour_at = [&](int pos) {
        QTextCursor cur(rich->document());
        cur.setPosition(pos + 1);
        return cur.charFormat().foreground().color();
    };
    w.Rich1.set_back_color(0xFFFFFF);
    w.Rich1.set_sel_color(0x00FFFF);
    w.Rich1.set_sel_text("Ann");
    w.Rich1.set_sel_color(0x000000);
    w.Rich1.set_sel_text(": hi");
    EXPECT_EQ(colour_at(0), QColor(176, 140, 0));
    EXPECT_EQ(colour_at(4), QColor(0, 0, 0));
    // A dark skin: the lines already shown are drawn again in the model's own colours.
    w.Rich1.set_back_color(0x000000);
    EXPECT_EQ(rich->toPlainText(), "Ann: hi");
    EXPECT_EQ(colour_at(0), QColor(255, 255, 0));
    w.Rich1.set_back_color(0xFFFFFF);
    EXPECT_EQ(colour_at(0), QColor(176, 140, 0));
    EXPECT_EQ(w.Rich1.formats()[0].color, 0x00FFFFu);  // the model keeps its colour
}

TEST_F(FrontEnd, AMessageBoxIsAnsweredThroughTheRealHost) {
    Window& w = shown();
    std::optional<MsgResult> answer;
    QString shown_text;
    w.on_command = [&] { answer = app.msg_box("Leave <b>now</b>?\r\nReally?", MsgButtons::YesNo, MsgIcon::Question, "Quit"); };
    when_modal<QMessageBox>([&](QMessageBox& box) {
        shown_text = box.text();
        EXPECT_EQ(box.textFormat(), Qt::PlainText);
        EXPECT_EQ(box.windowTitle(), "Quit");
        box.button(QMessageBox::No)->click();
    });
    widget_of<QPushButton>(w.Command1)->click();
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, MsgResult::No);
    EXPECT_EQ(shown_text, "Leave <b>now</b>?\nReally?");

    // An input box gives the typed text, and Cancel gives nothing.
    std::optional<std::string> typed;
    w.on_command = [&] { typed = host.input_box("How much LP?", "LP", "8000"); };
    when_modal<QInputDialog>([](QInputDialog& d) {
        EXPECT_EQ(d.textValue(), "8000");
        d.setTextValue(QString::fromUtf8("1200 \xE2\x82\xAC"));
        d.accept();
    });
    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_EQ(typed, std::optional<std::string>("1200 \x80"));
    when_modal<QInputDialog>([](QInputDialog& d) { d.reject(); });
    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_EQ(typed, std::nullopt);
}

TEST_F(FrontEnd, TimersAndSocketsKeepRunningWhileABoxIsOpen) {
    Window& w = shown();
    platform::TcpSocket server(reactor, "server"), client(reactor, "client");
    server.ConnectionRequest = [&](long id) {
        server.close();
        server.accept(id);
    };
    std::string received;
    server.DataArrival = [&](long) { received += server.get_data(); };
    server.listen();
    client.connect("127.0.0.1", server.bound_port());
    ASSERT_TRUE(reactor.run_until([&] { return client.state() == platform::TcpSocket::StateConnected &&
                                               server.state() == platform::TcpSocket::StateConnected; }));

    w.Timer1.set_interval(100);
    w.Timer1.set_enabled(true);
    bool after_box = false;
    w.on_command = [&] {
        app.msg_box("Waiting for your opponent");
        after_box = true;
    };
    // While the box is open: move the clock a tick on and send a byte, until three ticks and
    // three bytes have come through the dispatcher; then answer.
    int sent = 0;
    QTimer driver;
    driver.setInterval(2);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (w.ticks >= 3 && received.size() >= 3) {
            driver.stop();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (sent < 3 && received.size() == static_cast<std::size_t>(sent)) {
            client.send_data("x");
            ++sent;
        }
        clock.advance(100);
        host.dispatcher().sync();
    });
    driver.start();
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->reject();
    });
    guard.start(10000);

    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_TRUE(after_box);
    EXPECT_GE(w.ticks, 3);
    EXPECT_EQ(received, "xxx");
    EXPECT_GE(host.dispatcher().notifier_count(), 1);
}

TEST_F(FrontEnd, EndInsideABoxUnwindsTheProgramAndLeavesEveryLoop) {
    Window& w = shown();
    bool ran_on = false;
    w.Timer1.set_interval(50);
    w.on_tick = [&] { app.end(); };
    w.on_command = [&] {
        w.Timer1.set_enabled(true);
        app.msg_box("Still here?");
        ran_on = true;  // End must not let the handler go on
    };
    QTimer driver;
    driver.setInterval(2);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        clock.advance(50);
        host.dispatcher().sync();
    });
    driver.start();
    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_FALSE(ran_on);
    EXPECT_TRUE(host.boundary().ended());
    EXPECT_TRUE(app.ended());
    // Nothing is delivered after the end.
    w.on_command = [&] { ran_on = true; };
    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_FALSE(ran_on);
}

TEST_F(FrontEnd, MenusShowShortcutTextsAndRunTheChosenItem) {
    Window& w = shown();
    settle();
    QMenuBar* bar = mirror.menu_bar(w);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 1);  // the hidden pop-up menu is not on the bar
    QMenu* file = bar->actions()[0]->menu();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->title(), "&File");
    emit file->aboutToShow();
    ASSERT_EQ(file->actions().size(), 1);
    QAction* save = file->actions()[0];
    EXPECT_EQ(save->text(), "&Save\tCtrl+S");
    EXPECT_TRUE(save->shortcut().isEmpty());  // shown, not bound
    save->trigger();
    EXPECT_EQ(w.log, (std::vector<std::string>{"save"}));

    // A pop-up menu through the host: the chosen leaf's Click runs.
    std::string chosen;
    w.mnuDiscard.Click = [&] { chosen = "discard"; };
    w.mnuPlay.set_enabled(false);
    QTimer poll;
    poll.setInterval(1);
    QStringList offered;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!m) return;
        poll.stop();
        for (QAction* a : m->actions()) {
            offered << a->text() + (a->isEnabled() ? "" : " (off)");
            if (a->text() == "Discard") a->trigger();
        }
        m->close();
    });
    poll.start();
    w.on_command = [&] { w.popup_menu(w.mnuPop, platform::PointTw{300, 300}); };
    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_EQ(offered, (QStringList{"Play (off)", "Discard"}));
    EXPECT_EQ(chosen, "discard");
}

TEST_F(FrontEnd, ControlsLoadedAtRunTimeAndUnloadedFormsComeAndGo) {
    Window& w = shown();
    platform::ControlArray<platform::Label> cards(&w, "cards");
    settle();
    platform::Label& second = cards.load(1);
    second.set_caption("Dragon");
    second.set_visible(true);
    auto* label = widget_of<QLabel>(second);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Dragon");
    EXPECT_TRUE(label->isVisible());
    cards.unload(1);
    settle();
    EXPECT_EQ(mirror.widget(second), nullptr);

    // A form that unloads itself from its own button: its window goes once the click is over.
    QPointer<QWidget> top = mirror.widget(w);
    w.on_command = [&] { w.unload(); };
    widget_of<QPushButton>(w.Command1)->click();
    EXPECT_FALSE(window.loaded());
    settle();
    reactor.pump(0);
    EXPECT_TRUE(top.isNull());
    // Touching the slot again builds a fresh window.
    Window& again = shown();
    ASSERT_NE(mirror.widget(again), nullptr);
    EXPECT_TRUE(mirror.widget(again)->isVisible());
}

TEST_F(FrontEnd, AControlLoadedAtRunTimeHearsThePointerPassOverIt) {
    Window& w = shown();
    platform::ControlArray<platform::PictureBox> cards(&w, "cards");
    std::vector<std::string> heard;
    cards.MouseMove = [&](int i, int b, int, double, double) {
        heard.push_back(std::to_string(i) + " " + std::to_string(b));
    };
    settle();
    platform::PictureBox& second = cards.load(1);
    second.move(300, 3300, 855, 1215);
    second.set_visible(true);
    settle();
    QWidget* picture = mirror.widget(second);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->hasMouseTracking()) << "moves without a button held reach it";
    mouse(picture, QEvent::MouseMove, QPoint(5, 5), Qt::NoButton);
    EXPECT_EQ(heard, std::vector<std::string>{"1 0"});

    // Where the desktop shows it, for turning the pointer's screen position into its own.
    const auto origin = host.screen_origin_px(second);
    ASSERT_TRUE(origin.has_value());
    const QPoint expected = picture->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(origin->x, expected.x());
    EXPECT_EQ(origin->y, expected.y());
}

TEST_F(FrontEnd, ClosingTheLastWindowEndsTheLoopUnlessTheFormRefuses) {
    Window& w = shown();
    w.refuse_unload = true;
    mirror.widget(w)->close();
    EXPECT_TRUE(window.loaded());
    EXPECT_TRUE(mirror.widget(w)->isVisible());

    w.refuse_unload = false;
    QTimer::singleShot(0, [&] { mirror.widget(w)->close(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QApplication::exit(1); });
    guard.start(10000);
    host.run(app);  // returns once no form is left
    EXPECT_TRUE(guard.isActive());
    EXPECT_FALSE(window.loaded());
    EXPECT_EQ(app.pending_destruction(), 0u);
    EXPECT_FALSE(host.boundary().ended());  // no End: the program simply has no window left
}

TEST_F(FrontEnd, ClosingTheLastShownWindowEndsAProgramThatStillHoldsHiddenOnes) {
    Window& w = shown();
    platform::FormSlot<Window> hidden{[this] { return std::make_unique<Window>(app); }};
    hidden().hide();
    ASSERT_TRUE(hidden.loaded());
    mirror.widget(w)->close();
    EXPECT_TRUE(host.boundary().ended());
    EXPECT_TRUE(app.ended());
}

TEST_F(FrontEnd, AWindowThePersonTurnsBackToHearsThatItIsActive) {
    Window& w = shown();
    platform::FormSlot<Window> other{[this] { return std::make_unique<Window>(app); }};
    other().show();
    settle();
    mirror.widget(other())->activateWindow();
    settle();
    ASSERT_FALSE(mirror.widget(w)->isActiveWindow());
    const int before = w.activations;
    mirror.widget(w)->activateWindow();
    settle();
    ASSERT_TRUE(mirror.widget(w)->isActiveWindow());
    EXPECT_EQ(w.activations, before + 1);
}

TEST_F(FrontEnd, TypingIntoARichTextBoxCanBeTakenBack) {
    Window& w = shown();
    auto* rich = widget_of<QTextEdit>(w.Rich1);
    ASSERT_NE(rich, nullptr);
    auto key = [&](Qt::Key k, const QString& text = {}) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, text);
        QCoreApplication::sendEvent(rich, &e);
    };
    w.Rich1.set_text("ab\r\ncd");
    w.Rich1.set_sel_start(4);  // after the line break
    key(Qt::Key_Backspace);
    EXPECT_EQ(w.Rich1.text(), "abcd");
    key(Qt::Key_X, "x");
    EXPECT_EQ(w.Rich1.text(), "abxcd");
    key(Qt::Key_Delete);
    EXPECT_EQ(w.Rich1.text(), "abxd");
    w.Rich1.set_sel_start(0);
    key(Qt::Key_Backspace);  // nothing before the caret
    w.Rich1.set_sel_start(4);
    key(Qt::Key_Delete);  // nothing after it
    EXPECT_EQ(w.Rich1.text(), "abxd");
    w.Rich1.set_sel_start(1);
    w.Rich1.set_sel_length(2);
    key(Qt::Key_Backspace);  // a selection goes whole
    EXPECT_EQ(w.Rich1.text(), "ad");
}

TEST_F(FrontEnd, KeysReachTheFormAsVirtualKeyCodes) {
    Window& w = shown();
    w.set_key_preview(true);
    std::vector<std::pair<int, int>> keys;
    w.KeyDown = [&](int k, int s) { keys.emplace_back(k, s); };
    QWidget* top = mirror.widget(w);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(top, &enter);
    QKeyEvent ctrl_s(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, "");
    QCoreApplication::sendEvent(widget_of<QPushButton>(w.Command1), &ctrl_s);
    // Each key once, although the button lets unhandled keys go on to its window.
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{13, 0}, {83, 2}}));
}

}  // namespace
