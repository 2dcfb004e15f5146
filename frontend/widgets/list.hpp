#pragma once
// List boxes' widgets splice only the changed items and take the drags this program starts.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_list_box(WidgetContext& m, Binding& entry, platform::ListBox* x, QWidget* parent);
void build_file_list(WidgetContext& m, Binding& entry, platform::FileListBox* x, QWidget* parent);

}  // namespace frontend
