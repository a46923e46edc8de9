/* Resource and control identifiers of the Vessane windows.
   Plain preprocessor definitions: read by the C++ code of every front end,
   and by the Windows resource compiler. */
#ifndef VESSANE_RESOURCE_H
#define VESSANE_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUT 100
#define IDD_MAIN 102

/* Strings */
#define IDS_ABOUT_ITEM 101

/* Menu and icon */
#define IDR_MAINFRAME_ICON 128
#define IDR_MAIN_MENU 129

/* The main window's controls, owned by the form logic */
#include "control_ids.h"

/* Commands */
#define IDM_ABOUT 0x0010
#define ID_OPTIONS_INFOS 32771
#define ID_OPTIONS_QUITTER 32772

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
