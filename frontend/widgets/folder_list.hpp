#pragma once
// The folder and drive lists' widgets: opening a folder goes to the model, which lists it.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_dir_list(WidgetContext& m, Binding& entry, platform::DirListBox* x, QWidget* parent);
void build_drive_list(WidgetContext& m, Binding& entry, platform::DriveListBox* x, QWidget* parent);

}  // namespace frontend
