// Creates the widgets of a dialog template and puts them at their places.
#pragma once

#include <span>
#include <utility>
#include <vector>

#include "dialog_template.h"
#include "dialog_units.h"

class QWidget;

namespace vessane::qt {

using ui::ControlKind;
using ui::ControlTemplate;

// Name of the dynamic property that holds a widget's control identifier.
inline constexpr const char* kControlIdProperty = "controlId";

// The widgets of a dialog by control identifier. Every control operation of the form
// goes through it, many times a keystroke: a flat table is far cheaper than searching
// the widget tree.
class ControlTable {
public:
    void Add(int id, QWidget* widget) { entries_.emplace_back(id, widget); }
    // The first widget created for id, or nullptr.
    QWidget* Find(int id) const {
        for (const auto& [entryId, widget] : entries_) {
            if (entryId == id) return widget;
        }
        return nullptr;
    }

private:
    std::vector<std::pair<int, QWidget*>> entries_;
};

// Creates one widget per row, children of parent, in row order (so the tab order is the
// row order), and returns those that have an identifier of their own.
ControlTable BuildControls(std::span<const ControlTemplate> controls, const DialogUnits& units,
                           QWidget* parent);

// The widget created for identifier id under parent, or nullptr.
QWidget* FindControl(QWidget* parent, int id);

}  // namespace vessane::qt
