#pragma once
// The one QApplication of the test process, made on first use.
#include <QApplication>

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

}  // namespace frontend::test
