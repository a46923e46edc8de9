// The web page's window: the control operations are answered by the page's script
// (web/site/app.js), which holds the HTML controls; the event table and every rule are
// the core's. The script calls vessane_start once, then vessane_notify for each change
// a user makes, which goes through the core's event table.
#include <emscripten.h>

#include "control_ids.h"
#include "coronary_form.h"
#include "dialog_controls.h"
#include "event_table.h"
#include "form_texts.h"
#include "on_calcul.h"
#include "score2_form.h"
#include "validation.h"
#include "what_if.h"

#include <string>
#include <string_view>

// Texts cross as one byte per character, as the window reads its fields: characters
// beyond Latin-1 become '?'.
EM_JS(int, JsGetText, (int id, char* buffer, int maxCount), {
    var text = Module.controls.getText(id);
    var count = Math.min(text.length, maxCount - 1);
    for (var i = 0; i < count; ++i) {
        var code = text.charCodeAt(i);
        HEAPU8[buffer + i] = code < 256 ? code : 63;
    }
    HEAPU8[buffer + count] = 0;
    return count;
});
EM_JS(int, JsGetTextLength, (int id), { return Module.controls.getText(id).length; });
EM_JS(void, JsSetText, (int id, const char* text), {
    var value = "";
    for (var p = text; HEAPU8[p] != 0; ++p) value += String.fromCharCode(HEAPU8[p]);
    Module.controls.setText(id, value);
});
EM_JS(int, JsGetCurSel, (int id), { return Module.controls.getCurSel(id); });
EM_JS(int, JsGetCheck, (int id), { return Module.controls.getCheck(id); });
EM_JS(void, JsSetBarPos, (int id, int position), { Module.controls.setBarPos(id, position); });
EM_JS(void, JsShowReason, (const char* reason),
      { Module.controls.showReason(UTF8ToString(reason)); });
EM_JS(void, JsShowWhatIf, (const char* lines),
      { Module.controls.showWhatIf(UTF8ToString(lines)); });
EM_JS(int, JsScore2Region, (), { return Module.controls.score2Region(); });
EM_JS(int, JsKnownDisease, (), { return Module.controls.knownDisease() ? 1 : 0; });
EM_JS(void, JsShowScore2,
      (const char* model, const char* text, const char* category, const char* reason, int isolated),
      {
          Module.controls.showScore2({
              model : UTF8ToString(model),
              text : UTF8ToString(text),
              category : UTF8ToString(category),
              reason : UTF8ToString(reason),
              isolated : isolated > 0
          });
      });

namespace {

class WebControls : public vessane::DialogControls {
public:
    int GetDlgItemText(int id, char* buffer, int maxCount) override {
        return maxCount > 0 ? JsGetText(id, buffer, maxCount) : 0;
    }
    int GetDlgItemTextLength(int id) override { return JsGetTextLength(id); }
    void SetDlgItemText(int id, const char* text) override {
        JsSetText(id, text);
        Notify(id,
               vessane::ControlChange::kText);  // a set text reports its change, as in the window
    }
    int GetCurSel(int id) override { return JsGetCurSel(id); }
    int GetCheck(int id) override { return JsGetCheck(id); }
    void SetBarPos(int id, int position) override { JsSetBarPos(id, position); }
    void HoldChangeNotifications(bool hold) override { holdDepth_ += hold ? 1 : -1; }

    // Every change goes through the window's event table.
    void Notify(int id, vessane::ControlChange change) {
        const vessane::Dispatched done =
            vessane::Dispatch(*this, exchange_, id, change, holdDepth_ > 0);
        // The page says why a form gives ERREUR, and "Et si…" follows the unit shown at
        // once (the result waits for the next change, as in the window).
        if (done.action == vessane::FormAction::kRecompute) {
            JsShowReason(vessane::DescribeFormFailure(*this, done.failed));
            ShowWhatIf(done.failed == vessane::ValidationCheck::kNone);
            ShowScore2();
        } else if (done.action == vessane::FormAction::kSwitchUnit) {
            char result[16];
            GetDlgItemText(IDC_RESULT, result, sizeof result);
            ShowWhatIf(std::string_view(result) != vessane::kErrorText);
            ShowScore2();
        }
    }

    // SCORE2 or SCORE2-OP from the form as shown, in the page's region; none for a known
    // cardiovascular disease (the page opened from a record says when).
    void ShowScore2() {
        const int index = JsScore2Region();
        const auto region = static_cast<vessane::Score2Region>(
            index >= 0 && index < vessane::kScore2RegionCount ? index : 0);
        vessane::Score2Outcome outcome =
            vessane::EvaluateScore2(vessane::Score2ValuesOfForm(*this), region);
        if (JsKnownDisease() != 0) {
            outcome.computed = false;
            outcome.fixedReason = vessane::kScore2KnownDisease;
            outcome.madeReason.clear();
        }
        JsShowScore2(outcome.modelName(), outcome.computed ? outcome.text : "",
                     outcome.computed ? outcome.category : "",
                     std::string(outcome.reason()).c_str(),
                     outcome.computed && outcome.isolatedFactor);
    }

    // "Et si…": the form read again into a state of its own (the window's state is the
    // window's), each line on its own line; none while the form is refused.
    void ShowWhatIf(bool valid) {
        std::string text;
        vessane::RiskState state{};
        vessane::ReadForm(*this, state);
        if (valid && vessane::ValidateInputs(state) == vessane::ValidationCheck::kNone) {
            for (const std::string& line : vessane::WhatIfLines(state, GetCurSel(IDC_UNIT) == 1)) {
                text.append(text.empty() ? "" : "\n").append(line);
            }
        }
        JsShowWhatIf(text.c_str());
    }

    void Start() {
        exchange_.UpdateData(*this, false);  // the first data exchange: two empty texts
        vessane::SetDefaultTexts(*this);
    }

private:
    vessane::CholesterolExchange exchange_;
    int holdDepth_ = 0;
};

WebControls g_window;

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void vessane_start() {
    g_window.Start();
}

// change: 0 a field's text, 1 a selector's selection, 2 a check box's click.
EMSCRIPTEN_KEEPALIVE void vessane_notify(int id, int change) {
    g_window.Notify(id, static_cast<vessane::ControlChange>(change));
}

// The SCORE2 region, or what the page knows of the record, changed.
EMSCRIPTEN_KEEPALIVE void vessane_score2() {
    g_window.ShowScore2();
}
}
