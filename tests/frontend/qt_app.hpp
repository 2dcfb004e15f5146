#pragma once
// The one QApplication of the test process, made on first use, and a model mirrored into it.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "frontend/mirror.hpp"
#include "frontend/qt_host.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/form.hpp"
#include "platform/reactor.hpp"

namespace frontend::test {

inline QApplication& qt_app() {
    static int argc = 1;
    static char name[] = "frontend_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // The offscreen platform says so for every raise and grab; nothing else is dropped.
        static QtMessageHandler previous = qInstallMessageHandler(nullptr);
        qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
            if (m.startsWith("This plugin does not support")) return;
            if (previous) previous(t, c, m);
        });
        return new QApplication(argc, argv);
    }();
    return *app;
}

// A test with a model program shown through the real front end: the window W is made on first
// use of `window`.
template <class W>
class Mirrored : public ::testing::Test {
protected:
    struct QtFirst {
        QtFirst() { qt_app(); }
    } qt_first;
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    QtHost host{reactor};
    platform::App app{reactor, host};
    Mirror mirror{app, host};
    platform::FormSlot<W> window{[this] { return std::make_unique<W>(app); }};

    template <class Q>
    Q* widget_of(const platform::Control& c) {
        return qobject_cast<Q*>(mirror.widget(c));
    }
};

}  // namespace frontend::test
