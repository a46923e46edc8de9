// Reaching the main window's controls from a test, by their object names.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QtGlobal>

#include "coronary_dlg.h"

template <class T>
T* Get(CCoronaryDlg& dlg, const char* name) {
    T* widget = dlg.findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
}

inline QString Result(CCoronaryDlg& dlg) {
    return Get<QLineEdit>(dlg, "IDC_RESULT")->text();
}
