// One keystroke in the real window: the age field's text is set, and the time is taken
// until the result field holds the new result. Nothing is painted meanwhile (painting
// happens when the event loop next runs).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <cstdio>

#include "coronary_dlg.h"

namespace {

QLineEdit* Field(CCoronaryDlg& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Kept out of line so that a profiler can count this alone
// (valgrind --tool=callgrind --toggle-collect='*SetAgeText*').
[[gnu::noinline]] void SetAgeText(QLineEdit* age, const QString& text) {
    age->setText(text);
}

void BM_KeystrokeInTheWindow(benchmark::State& s) {
    CCoronaryDlg dialog;
    dialog.show();
    QApplication::processEvents();
    QLineEdit* const age = Field(dialog, "IDC_AGE");
    QLineEdit* const result = Field(dialog, "IDC_RESULT");
    if (!age || !result) {
        s.SkipWithError("IDC_AGE or IDC_RESULT not found");
        return;
    }
    // Two ages with different results, so that every keystroke changes the result.
    const QString texts[] = {QStringLiteral("50"), QStringLiteral("61")};
    age->setText(texts[1]);
    const QString other = result->text();
    age->setText(texts[0]);
    if (result->text() == other) {
        s.SkipWithError("the two ages give the same result");
        return;
    }
    int i = 0;
    for (auto _ : s) {
        SetAgeText(age, texts[++i & 1]);
        benchmark::DoNotOptimize(result->text().size());
    }
    QApplication::processEvents();  // let the pending repaints go
}
BENCHMARK(BM_KeystrokeInTheWindow);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
