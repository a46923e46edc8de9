/* Identifiers of the main window's controls: the form's contract with every front end.
   Plain preprocessor definitions, so that the Windows resource compiler reads them too. */
#ifndef VESSANE_CONTROL_IDS_H
#define VESSANE_CONTROL_IDS_H

/* Fields */
#define IDC_AGE 101
#define IDC_SYSTOLIC 102
#define IDC_DIASTOLIC 103
#define IDC_TOTAL_CHOL 105
#define IDC_HDL_CHOL 106
#define IDC_YEARS 109
#define IDC_RESULT 110

/* Selectors, check boxes, labels and bar */
#define IDC_SEX 1004
#define IDC_UNIT 1005
#define IDC_SMOKER 1006
#define IDC_DIABETES 1007
#define IDC_LVH 1008
#define IDC_CALCUL 1009
#define IDC_TOTAL_RANGE 1010
#define IDC_HDL_RANGE 1011
#define IDC_RISK_BAR 1012

#endif
