#include "platform/dialog.hpp"

#include "platform/form.hpp"
#include "platform/rt_error.hpp"

namespace platform {

CommonDialog::CommonDialog(Container* parent, std::string name, int index)
    : Control(parent, std::move(name), index) {}

bool CommonDialog::show_open() { return show(false); }
bool CommonDialog::show_save() { return show(true); }

bool CommonDialog::show(bool save) {
    Form* form = nullptr;
    for (Container* p = parent(); p && !form; p = p->parent()) form = dynamic_cast<Form*>(p);
    if (!form) throw rt::RuntimeError(rt::ErrObjectVariable);
    auto chosen = form->app().host().file_dialog(*this, save);
    if (chosen) {
        file_name = *chosen;
        return true;
    }
    if (cancel_error) throw rt::RuntimeError(rt::ErrCancel);
    return false;
}

void CommonDialog::copy_from(const CommonDialog& other) {
    copy_common_from(other);
    filter = other.filter;
    init_dir = other.init_dir;
    file_name = other.file_name;
    cancel_error = other.cancel_error;
    dialog_title = other.dialog_title;
}

}  // namespace platform
