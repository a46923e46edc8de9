// Creates the widgets of a dialog template and puts them at their places.
#pragma once

#include <span>

#include "dialog_template.h"
#include "dialog_units.h"

class QWidget;

namespace vessane::qt {

// Name of the dynamic property that holds a widget's control identifier.
inline constexpr const char* kControlIdProperty = "controlId";

// Creates one widget per row, children of parent, in row order (so the tab order is the
// row order) and returns nothing: look the widgets up by object name or identifier.
void BuildControls(std::span<const ControlTemplate> controls, const DialogUnits& units,
                   QWidget* parent);

// The widget created for identifier id under parent, or nullptr.
QWidget* FindControl(QWidget* parent, int id);

}  // namespace vessane::qt
