#include "frontend/qt_host.hpp"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDrag>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <chrono>
#include <cmath>
#include <thread>

#include "frontend/convert.hpp"
#include "platform/app.hpp"
#include "platform/desktop.hpp"
#include "platform/dialog.hpp"
#include "platform/form.hpp"
#include "platform/menu.hpp"

namespace frontend {

// The keys held now, as the programs ask for them by virtual-key code: Qt only says which
// modifiers are down, so the others are followed from the key events.
class QtHost::KeyWatch : public QObject {
public:
    std::set<int> down;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (!k->isAutoRepeat()) {
                if (int vk = vk_of(*k)) {
                    if (e->type() == QEvent::KeyPress) down.insert(vk);
                    else down.erase(vk);
                }
            }
        } else if (e->type() == QEvent::ApplicationDeactivate) {
            down.clear();
        }
        return QObject::eventFilter(o, e);
    }
};

namespace {

QWidget* active_parent() { return QApplication::activeWindow(); }

}  // namespace

QtHost::QtHost(platform::Reactor& reactor)
    : reactor_(reactor),
      dispatcher_(std::make_unique<Dispatcher>(reactor, boundary_)),
      key_watch_(std::make_unique<KeyWatch>()) {
    qApp->installEventFilter(key_watch_.get());
    // The programs' fonts, where this desktop has none of that name. Liberation Sans has the
    // designed font's widths, so texts fit the places the windows give them.
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial", "Verdana"})
        QFont::insertSubstitutions(family, {"Liberation Sans", "DejaVu Sans Condensed", "DejaVu Sans"});
}

QtHost::~QtHost() {
    if (qApp) qApp->removeEventFilter(key_watch_.get());
}

void QtHost::run(platform::App& app) {
    auto done = [&app, this] {
        if (boundary_.ended() || app.ended()) return true;
        for (auto* f : app.forms())
            if (f->loaded()) return false;
        return app.pending_destruction() == 0;
    };
    QTimer check;
    check.setInterval(100);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) QApplication::exit(0);
    });
    check.start();
    boundary_.main_loop = true;
    while (!done()) {
        QApplication::exec();
        if (boundary_.ended()) break;
    }
    boundary_.main_loop = false;
}

void QtHost::note_drop(platform::Control& target, double x, double y, int shift) {
    if (!dragging_) return;
    drop_ = platform::DropTarget{&target, x, y, 1, shift};
}

platform::MsgResult QtHost::msg_box(const std::string& text, platform::MsgButtons buttons,
                                    platform::MsgIcon icon, const std::string& title) {
    using B = platform::MsgButtons;
    using R = platform::MsgResult;
    boundary_.rethrow_if_ended();
    QMessageBox::StandardButtons sb = QMessageBox::Ok;
    switch (buttons) {
    case B::OK: sb = QMessageBox::Ok; break;
    case B::OKCancel: sb = QMessageBox::Ok | QMessageBox::Cancel; break;
    case B::AbortRetryIgnore: sb = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore; break;
    case B::YesNoCancel: sb = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case B::YesNo: sb = QMessageBox::Yes | QMessageBox::No; break;
    case B::RetryCancel: sb = QMessageBox::Retry | QMessageBox::Cancel; break;
    }
    QMessageBox::Icon qi = QMessageBox::NoIcon;
    switch (icon) {
    case platform::MsgIcon::None: break;
    case platform::MsgIcon::Information: qi = QMessageBox::Information; break;
    case platform::MsgIcon::Critical: qi = QMessageBox::Critical; break;
    case platform::MsgIcon::Exclamation: qi = QMessageBox::Warning; break;
    case platform::MsgIcon::Question: qi = QMessageBox::Question; break;
    }
    QMessageBox box(qi, qstr(title), qlines(text), sb, active_parent());
    // Texts come from card files and the network: never read as markup.
    box.setTextFormat(Qt::PlainText);
    int r;
    {
        Boundary::Modal open(boundary_, [&box] { box.done(-1); });
        r = box.exec();
    }
    boundary_.rethrow_if_ended();
    switch (r) {
    case QMessageBox::Ok: return R::OK;
    case QMessageBox::Abort: return R::Abort;
    case QMessageBox::Retry: return R::Retry;
    case QMessageBox::Ignore: return R::Ignore;
    case QMessageBox::Yes: return R::Yes;
    case QMessageBox::No: return R::No;
    case QMessageBox::Cancel: return R::Cancel;
    default: break;
    }
    // Closed without a button: the box's escape answer.
    switch (buttons) {
    case B::OK: return R::OK;
    case B::YesNo: return R::No;
    case B::AbortRetryIgnore: return R::Abort;
    default: return R::Cancel;
    }
}

std::optional<std::string> QtHost::input_box(const std::string& prompt, const std::string& title,
                                             const std::string& default_text) {
    boundary_.rethrow_if_ended();
    QInputDialog dlg(active_parent());
    dlg.setInputMode(QInputDialog::TextInput);
    dlg.setWindowTitle(qstr(title));
    dlg.setLabelText(qlines(prompt));
    dlg.setTextValue(qstr(default_text));
    int r;
    {
        Boundary::Modal open(boundary_, [&dlg] { dlg.reject(); });
        r = dlg.exec();
    }
    boundary_.rethrow_if_ended();
    if (r != QDialog::Accepted) return std::nullopt;
    return ansi(dlg.textValue());
}

platform::Menu* QtHost::popup(platform::Form& form, platform::Menu& menu, std::optional<platform::PointTw> at) {
    boundary_.rethrow_if_ended();
    if (!mirror_) return nullptr;
    QMenu qm(mirror_->widget(form));
    platform::Menu* chosen = nullptr;
    mirror_->fill_menu(qm, menu, [&chosen](platform::Menu* item) { chosen = item; });
    if (qm.isEmpty()) return nullptr;
    QPoint where = QCursor::pos();
    if (at) {
        if (QWidget* client = mirror_->client_area(form))
            where = client->mapToGlobal(QPoint(px(at->x, twips_per_pixel()), px(at->y, twips_per_pixel())));
    }
    {
        Boundary::Modal open(boundary_, [&qm] { qm.close(); });
        qm.exec(where);
    }
    boundary_.rethrow_if_ended();
    // Handlers run while it was open may have unloaded the chosen item.
    return chosen && mirror_->alive(chosen) ? chosen : nullptr;
}

std::optional<std::string> QtHost::file_dialog(const platform::CommonDialog& d, bool save) {
    boundary_.rethrow_if_ended();
    QFileDialog dlg(active_parent(), qstr(d.dialog_title));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!d.filter.empty()) dlg.setNameFilters(qt_filters(d.filter).split(";;"));
    if (!d.init_dir.empty()) dlg.setDirectory(qpath(d.init_dir));
    if (!d.file_name.empty()) {
        const QString preset = qpath(d.file_name);
        if (QFileInfo(preset).isDir()) dlg.setDirectory(preset);
        else dlg.selectFile(preset);
    }
    int r;
    {
        Boundary::Modal open(boundary_, [&dlg] { dlg.reject(); });
        r = dlg.exec();
    }
    boundary_.rethrow_if_ended();
    if (r != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
    return path_bytes(dlg.selectedFiles().front());
}

std::optional<platform::DropTarget> QtHost::drag(platform::Control& source, const platform::DataObject& data) {
    boundary_.rethrow_if_ended();
    QWidget* w = mirror_ ? mirror_->widget(source) : nullptr;
    if (!w) return std::nullopt;
    QPointer<QDrag> d = new QDrag(w);
    auto* mime = new QMimeData;
    mime->setText(qstr(data.get_data()));
    mime->setData("application/x-tablewright-drag", QByteArray("1"));
    d->setMimeData(mime);
    drop_.reset();
    dragging_ = true;
    {
        Boundary::Modal open(boundary_, [] { QDrag::cancel(); });
        d->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    }
    dragging_ = false;
    if (d) d->deleteLater();
    boundary_.rethrow_if_ended();
    auto result = std::move(drop_);
    drop_.reset();
    if (result && !mirror_->alive(result->control)) return std::nullopt;
    return result;
}

bool QtHost::open_url(const std::string& url) {
    // Only web addresses: a link from a chat must not open a local file's handler.
    const QUrl u = QUrl::fromEncoded(QByteArray::fromStdString(url), QUrl::StrictMode);
    if (!u.isValid() || (u.scheme() != "http" && u.scheme() != "https")) return false;
    return QDesktopServices::openUrl(u);
}

bool QtHost::open_file(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(file.string()))));
}

bool QtHost::start_process(const std::filesystem::path& program, const std::vector<std::string>& args,
                           platform::WindowStyle) {
    return platform::start_detached(program, args);
}

void QtHost::alert(platform::Form& form) {
    if (QWidget* w = mirror_ ? mirror_->widget(form) : nullptr) QApplication::alert(w);
}

bool QtHost::is_active(const platform::Form& form) {
    QWidget* w = mirror_ ? mirror_->widget(form) : nullptr;
    return w && w->isActiveWindow();
}

void QtHost::set_topmost(platform::Form& form, bool topmost) {
    QWidget* w = mirror_ ? mirror_->widget(form) : nullptr;
    if (!w || bool(w->windowFlags() & Qt::WindowStaysOnTopHint) == topmost) return;
    const bool shown = w->isVisible();
    w->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
    if (shown) w->show();  // changing the flags hides the window
}

platform::PointPx QtHost::cursor_pos_px() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

std::optional<platform::PointPx> QtHost::screen_origin_px(const platform::Control& c) {
    QWidget* w = mirror_ ? mirror_->widget(c) : nullptr;
    if (!w) return std::nullopt;
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return platform::PointPx{p.x(), p.y()};
}

bool QtHost::key_down(int vk) {
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    switch (vk) {
    case 1: return buttons & Qt::LeftButton;
    case 2: return buttons & Qt::RightButton;
    case 4: return buttons & Qt::MiddleButton;
    case 16: return mods & Qt::ShiftModifier;
    case 17: return mods & Qt::ControlModifier;
    case 18: return mods & Qt::AltModifier;
    default: return key_watch_->down.count(vk) != 0;
    }
}

void QtHost::sleep_ms(int ms) {
    // A freeze, as the programs mean it: nothing is handled meanwhile.
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void QtHost::do_events() {
    QCoreApplication::processEvents();
    boundary_.call([this] { reactor_.pump(0); }, false);
    dispatcher_->sync();
    boundary_.rethrow_if_ended();
}

void QtHost::set_clipboard_text(std::string text) {
    if (auto* c = QGuiApplication::clipboard()) c->setText(qstr(text));
}

std::string QtHost::clipboard_text() {
    auto* c = QGuiApplication::clipboard();
    return c ? ansi(c->text()) : std::string();
}

void QtHost::repaint(platform::Control& c) {
    if (QWidget* w = mirror_ ? mirror_->widget(c) : nullptr) w->repaint();
}

bool QtHost::register_font(const std::filesystem::path& file) {
    const int id = QFontDatabase::addApplicationFont(QFile::decodeName(QByteArray::fromStdString(file.string())));
    if (id == -1) return false;
    // The programs name a font by its file ("LCD-BOLD.TTF" is "LCD"), whatever family the file
    // itself declares.
    const std::string stem = file.stem().string();
    const QString alias = QString::fromStdString(stem.substr(0, stem.find('-')));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!alias.isEmpty() && !families.isEmpty() && !families.contains(alias, Qt::CaseInsensitive))
        QFont::insertSubstitutions(alias, families);
    return true;
}

int QtHost::twips_per_pixel() const {
    const QScreen* s = QGuiApplication::primaryScreen();
    const double dpi = s ? s->logicalDotsPerInch() : 96.0;
    if (dpi <= 0) return 15;
    return std::max(1, static_cast<int>(std::lround(1440.0 / dpi)));
}

}  // namespace frontend
