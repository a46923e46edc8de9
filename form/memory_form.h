// A form held in memory: the window's controls without a window. Setting a field's
// text recomputes as the window does, unless notifications are held back or the form
// was asked not to route changes (batch use).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "dialog_controls.h"

namespace vessane {

class MemoryForm : public DialogControls {
public:
    // routeChanges: a text change of an input field runs OnCalcul, as in the window.
    explicit MemoryForm(bool routeChanges = false);

    // The window's state after start-up: selectors, defaults, result "10.3 %", bar 10.
    void Initialise();

    int GetDlgItemText(int id, char* buffer, int maxCount) override;
    int GetDlgItemTextLength(int id) override;
    void SetDlgItemText(int id, const char* text) override;
    int GetCurSel(int id) override;
    int GetCheck(int id) override;
    void SetBarPos(int id, int position) override;
    void HoldChangeNotifications(bool hold) override;

    // Direct access, for callers that fill the form: no change is routed.
    void SetText(int id, std::string_view text);
    const std::string& Text(int id) const;
    void SetCurSel(int id, int index);
    void SetCheck(int id, int state);
    int BarPos() const { return barPosition_; }
    // Number of OnCalcul runs that text changes triggered.
    int RecomputeCount() const { return recomputeCount_; }

private:
    std::string& Field(int id);

    std::array<std::string, 11> texts_;  // fields 101-110, range labels, unknown ids
    int sexIndex_ = -1;
    int unitIndex_ = -1;
    int smoker_ = 0;
    int diabetes_ = 0;
    int lvh_ = 0;
    int barPosition_ = 0;
    bool routeChanges_;
    int holdDepth_ = 0;
    int recomputeCount_ = 0;
};

}  // namespace vessane
