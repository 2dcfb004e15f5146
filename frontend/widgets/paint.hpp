#pragma once
// Picture boxes, images and shapes are painted from the model and take the drags this program starts.
#include "frontend/widgets/context.hpp"
#include "platform/controls.hpp"

namespace frontend {

void build_picture_box(WidgetContext& m, Binding& entry, platform::PictureBox* x, QWidget* parent);
void build_image(WidgetContext& m, Binding& entry, platform::Image* x, QWidget* parent);
void build_shape(WidgetContext& m, Binding& entry, platform::Shape* x, QWidget* parent);

}  // namespace frontend
