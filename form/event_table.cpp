#include "event_table.h"

namespace vessane {

FormAction ActionFor(int id, ControlChange change) {
    for (const FormEvent& event : kEventTable) {
        if (event.id == id && event.change == change) return event.action;
    }
    return FormAction::kNone;
}

Dispatched Dispatch(DialogControls& controls, CholesterolExchange& exchange, int id,
                    ControlChange change, bool notificationsHeld) {
    if (notificationsHeld) return {};
    switch (const FormAction action = ActionFor(id, change)) {
        case FormAction::kRecompute:
            return {action, OnCalcul(controls)};
        case FormAction::kSwitchUnit:
            OnSelchangeUnit(controls, exchange);
            return {action, ValidationCheck::kNone};
        case FormAction::kNone:
            break;
    }
    return {};
}

}  // namespace vessane
