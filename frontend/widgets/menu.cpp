// Menus are filled from the model as they open, so that their Click handlers can change them first.
#include "frontend/widgets/menu.hpp"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "frontend/convert.hpp"
#include "frontend/widgets/context.hpp"
#include "frontend/widgets/form_window.hpp"
#include "platform/form.hpp"
#include "platform/menu.hpp"

namespace frontend {

void fill_menu_bar(WidgetContext& mirror, FormWindow* w, platform::Form& f) {
    std::vector<platform::Menu*> tops;
    for (auto* m : f.menu_bar())
        if (m->visible()) tops.push_back(m);
    if (tops.empty() && !w->bar) return;
    if (!w->bar) w->bar = new QMenuBar(w);
    w->bar->clear();
    // Menus of items that are gone are dropped; the others keep their Qt menu.
    for (auto it = w->menus.begin(); it != w->menus.end();) {
        if (!mirror.alive(it->first) || std::find(tops.begin(), tops.end(), it->first) == tops.end() || !it->second) {
            if (it->second) it->second->deleteLater();
            it = w->menus.erase(it);
        } else {
            ++it;
        }
    }
    for (auto* top : tops) {
        if (top->is_leaf()) {
            QAction* a = w->bar->addAction(qmenu_caption(top->caption()));
            a->setEnabled(top->enabled());
            QObject::connect(a, &QAction::triggered, [&mirror, top] {
                if (mirror.alive(top)) mirror.deliver([top] {
                    if (top->enabled() && top->visible()) top->Click();
                });
            });
            continue;
        }
        QPointer<QMenu>& qm = w->menus[top];
        if (!qm) {
            qm = new QMenu(w);
            QMenu* raw = qm;
            QObject::connect(raw, &QMenu::aboutToShow, [&mirror, top, raw] {
                if (!mirror.alive(top)) return;
                mirror.deliver([top] { top->Click(); });
                if (!mirror.alive(top)) return;
                fill_qmenu(mirror, *raw, *top, [&mirror, top](platform::Menu* item) {
                    if (!mirror.alive(item) || !mirror.alive(top)) return;
                    mirror.deliver([item, top] {
                        if (item->is_leaf() && platform::reachable(*item, *top)) item->Click();
                    });
                });
            });
            // Filled once now, so that its look is right before it first opens.
            fill_qmenu(mirror, *raw, *top, [](platform::Menu*) {});
        }
        qm->setTitle(qmenu_caption(top->caption()));
        qm->menuAction()->setEnabled(top->enabled());
        w->bar->addMenu(qm);
    }
    w->bar->setVisible(!tops.empty());
    w->layout_inside();
}

void fill_qmenu(WidgetContext& mirror, QMenu& qm, platform::Menu& m,
                const std::function<void(platform::Menu*)>& on_leaf) {
    for (QAction* a : qm.actions()) {
        if (QMenu* sub = a->menu()) sub->deleteLater();
    }
    qm.clear();
    for (platform::Menu* item : m.items()) {
        if (!item->visible()) continue;
        if (item->caption() == "-") {
            qm.addSeparator();
            continue;
        }
        QString text = qmenu_caption(item->caption());
        if (!item->shortcut_text().empty()) text += '\t' + qstr(item->shortcut_text());
        if (item->is_leaf()) {
            QAction* a = qm.addAction(text);
            a->setEnabled(item->enabled());
            QObject::connect(a, &QAction::triggered, [on_leaf, item] { on_leaf(item); });
        } else {
            auto* sub = new QMenu(text, &qm);
            sub->menuAction()->setEnabled(item->enabled());
            qm.addMenu(sub);
            QObject::connect(sub, &QMenu::aboutToShow, [&mirror, sub, item, on_leaf] {
                if (!mirror.alive(item)) return;
                mirror.deliver([item] { item->Click(); });
                if (mirror.alive(item)) fill_qmenu(mirror, *sub, *item, on_leaf);
            });
        }
    }
}

}  // namespace frontend
