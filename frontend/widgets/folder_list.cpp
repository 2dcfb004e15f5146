// The folder and drive lists' widgets: opening a folder goes to the model, which lists it.
#include "frontend/widgets/folder_list.hpp"

#include <QComboBox>
#include <QListWidget>
#include <filesystem>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

class DirW : public QListWidget {
public:
    DirW(WidgetContext& m, platform::DirListBox& c, QWidget* parent) : QListWidget(parent), l(m, c) {
        connect(this, &QListWidget::itemDoubleClicked, [this](QListWidgetItem* it) {
            if (!l.c) return;
            std::filesystem::path to = it->data(Qt::UserRole).toString().toStdString();
            l.act([to](platform::DirListBox& c) { c.user_open(to); });
        });
    }
    Link<platform::DirListBox> l;

    void sync(platform::DirListBox& c) {
        clear();
        const auto here = c.path();
        if (here.has_parent_path() && here != here.root_path()) {
            auto* up = new QListWidgetItem(QStringLiteral(".."));
            up->setData(Qt::UserRole, QString::fromStdString(here.parent_path().string()));
            addItem(up);
        }
        for (const auto& name : c.folders()) {
            auto* it = new QListWidgetItem(qpath(name));
            it->setData(Qt::UserRole, QString::fromStdString((here / name).string()));
            addItem(it);
        }
    }
};

}  // namespace

void build_dir_list(WidgetContext& m, Binding& entry, platform::DirListBox* x, QWidget* parent) {
    auto* w = new DirW(m, *x, parent);
    bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) {
        if (p == Prop::Other || p == Prop::Text) w->sync(*x);
    });
}

void build_drive_list(WidgetContext& m, Binding& entry, platform::DriveListBox* x, QWidget* parent) {
    auto* w = new QComboBox(parent);
    entry.widget = w;
    QPointer<QWidget> guard(w);
    entry.apply = [&m, guard, w, x](Prop p) {
        if (!guard) return;
        apply_common(m, *w, *x, p, Roles::Input);
        QSignalBlocker block(w);
        w->clear();
        for (const auto& d : x->drives()) w->addItem(qpath(d));
        w->setCurrentText(qpath(x->drive()));
    };
}

}  // namespace frontend
