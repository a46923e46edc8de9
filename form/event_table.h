// The main window's event table: which change of which control recomputes the result
// and which switches the cholesterol unit. Every window (Qt, Win32, the web page) and
// MemoryForm hand each change to Dispatch, so the table is written once.
#pragma once

#include "control_ids.h"
#include "coronary_form.h"
#include "validation.h"

namespace vessane {

// How a control reports a change.
enum class ControlChange {
    kText,       // a field's text changed (typed, pasted or set)
    kSelection,  // a selector's selection changed
    kClick,      // a check box or button was clicked
};

// What the window does for it.
enum class FormAction { kNone, kRecompute, kSwitchUnit };

struct FormEvent {
    int id;
    ControlChange change;
    FormAction action;
};

inline constexpr FormEvent kEventTable[] = {
    {IDC_AGE, ControlChange::kText, FormAction::kRecompute},
    {IDC_SYSTOLIC, ControlChange::kText, FormAction::kRecompute},
    {IDC_DIASTOLIC, ControlChange::kText, FormAction::kRecompute},
    {IDC_TOTAL_CHOL, ControlChange::kText, FormAction::kRecompute},
    {IDC_HDL_CHOL, ControlChange::kText, FormAction::kRecompute},
    {IDC_YEARS, ControlChange::kText, FormAction::kRecompute},
    {IDC_SEX, ControlChange::kSelection, FormAction::kRecompute},
    {IDC_UNIT, ControlChange::kSelection, FormAction::kSwitchUnit},
    {IDC_SMOKER, ControlChange::kClick, FormAction::kRecompute},
    {IDC_DIABETES, ControlChange::kClick, FormAction::kRecompute},
    {IDC_LVH, ControlChange::kClick, FormAction::kRecompute},
    {IDC_CALCUL, ControlChange::kClick, FormAction::kRecompute},
};

// The action for a change; kNone for changes the table does not route (the result
// field's text among them).
FormAction ActionFor(int id, ControlChange change);

// What a dispatched change did.
struct Dispatched {
    FormAction action = FormAction::kNone;
    ValidationCheck failed = ValidationCheck::kNone;  // after a recomputation
};

// Runs the action for a change of control id, unless notifications are held (a data
// exchange in progress: the change reaches no handler).
Dispatched Dispatch(DialogControls& controls, CholesterolExchange& exchange, int id,
                    ControlChange change, bool notificationsHeld);

}  // namespace vessane
