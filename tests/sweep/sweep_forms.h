// The forms of the cross-platform sweeps: about a million forms over every input's whole
// accepted range and a little beyond, in both units, and two thousand cholesterol texts
// for the unit switch. Each build (Linux, Windows, WebAssembly) runs the same sweep.
#pragma once

#include <cstdio>
#include <string>

#include "control_ids.h"
#include "memory_form.h"

namespace vessane::sweep {

// Two decimals, as typed (the sweeps run in the C locale: a point).
inline std::string Text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

// Fills form with each sweep form in turn and calls visit(form); endChunk() follows the
// forms of each age (128 chunks).
template <class Visit, class EndChunk>
void ForEachForm(MemoryForm& form, Visit visit, EndChunk endChunk) {
    for (int flags = 0; flags < 16; ++flags) {
        form.SetCurSel(IDC_SEX, flags & 1);
        form.SetCheck(IDC_SMOKER, (flags >> 1) & 1);
        form.SetCheck(IDC_DIABETES, (flags >> 2) & 1);
        form.SetCheck(IDC_LVH, (flags >> 3) & 1);
        for (double age = 30; age <= 74; age += 6.3) {
            form.SetText(IDC_AGE, Text(age));
            for (double sys = 80; sys <= 250; sys += 19) {
                form.SetText(IDC_SYSTOLIC, Text(sys));
                for (double dia = 30; dia <= 160; dia += 21.5) {
                    form.SetText(IDC_DIASTOLIC, Text(dia));
                    for (int unit = 0; unit < 2; ++unit) {
                        form.SetCurSel(IDC_UNIT, unit);
                        const double factor = unit ? 2.58 : 1.0;
                        for (double total = 2; total <= 12; total += 1.7) {
                            form.SetText(IDC_TOTAL_CHOL, Text(total / factor));
                            for (double hdl = 0.3; hdl <= 5; hdl += 0.67) {
                                form.SetText(IDC_HDL_CHOL, Text(hdl / factor));
                                for (int years : {2, 5, 10}) {
                                    form.SetText(IDC_YEARS, std::to_string(years));
                                    visit(form);
                                }
                            }
                        }
                    }
                }
            }
            endChunk();
        }
    }
}

// The unit switch's sweep: every cholesterol text from 0.00 to 20.00, towards each unit.
template <class Visit>
void ForEachCholesterolText(Visit visit) {
    for (int unit = 0; unit < 2; ++unit) {
        for (int hundredths = 0; hundredths <= 2000; ++hundredths)
            visit(Text(hundredths / 100.0), unit);
    }
}

}  // namespace vessane::sweep
