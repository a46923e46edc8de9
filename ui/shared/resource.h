/* Resource and control identifiers of the Vessane windows.
   Plain preprocessor definitions: read by the C++ code of every front end,
   by the form logic, and by the Windows resource compiler. */
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

/* Main window fields */
#define IDC_AGE 101
#define IDC_SYSTOLIC 102
#define IDC_DIASTOLIC 103
#define IDC_TOTAL_CHOL 105
#define IDC_HDL_CHOL 106
#define IDC_YEARS 109
#define IDC_RESULT 110

/* Main window selectors, check boxes, labels and bar */
#define IDC_SEX 1004
#define IDC_UNIT 1005
#define IDC_SMOKER 1006
#define IDC_DIABETES 1007
#define IDC_LVH 1008
#define IDC_CALCUL 1009
#define IDC_TOTAL_RANGE 1010
#define IDC_HDL_RANGE 1011
#define IDC_RISK_BAR 1012

/* Commands */
#define IDM_ABOUT 0x0010
#define ID_OPTIONS_INFOS 32771
#define ID_OPTIONS_QUITTER 32772

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
