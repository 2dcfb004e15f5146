#pragma once
// Lists and paint surfaces take a drag the same way: only one of our own, while the host says a
// drag is going on, and its drop is handed to the model where it landed.
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include "frontend/qt_host.hpp"
#include "frontend/widgets/base.hpp"

namespace frontend {

template <class C>
void accept_own_drag(Link<C>& l, QDragMoveEvent* e) {
    if (e->mimeData()->hasFormat(kDragMime) && l.m.host().dragging()) e->acceptProposedAction();
}

template <class C>
void take_own_drop(Link<C>& l, QDropEvent* e) {
    if (!l.c || !e->mimeData()->hasFormat(kDragMime)) return;
    l.m.host().note_drop(*l.c, l.tw(e->position().x()), l.tw(e->position().y()), shift_of(e->modifiers()));
    e->acceptProposedAction();
}

}  // namespace frontend
