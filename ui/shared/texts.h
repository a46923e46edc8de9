/* Fixed French texts of the Vessane windows, written once for every front end.
   Plain preprocessor definitions, each one single UTF-8 string literal (this file is
   UTF-8), so that the C++ code and a Windows resource script (with
   #pragma code_page(65001)) can both include them.
   The texts the form logic writes at run time (selector items, defaults, range
   labels, "ERREUR") stay in form/form_texts.h. */
#ifndef VESSANE_TEXTS_H
#define VESSANE_TEXTS_H

#include "vessane_version.h" /* TXT_ABOUT_VERSION */

/* clang-format off */

/* Main window (IDD_MAIN) */
#define TXT_MAIN_CAPTION "Vessane"
#define TXT_AGE "Age"
#define TXT_SYSTOLIC "Systolique"
#define TXT_DIASTOLIC "Diastolique"
#define TXT_TOTAL "Total"
#define TXT_HDL "HDL chol"
#define TXT_SMOKER "Fumeur"
#define TXT_DIABETES "Diabète"
#define TXT_LVH "HVG"
#define TXT_YEARS "ans"
#define TXT_RISK_LABEL "Risque absolu du sujet à :"
#define TXT_CALCUL "Calcul"
#define TXT_CHOLESTEROL_GROUP "Cholestérol"
#define TXT_RISK_GROUP "Risque de maladie coronarienne"
#define TXT_PRESSURE_GROUP "T.A (mm Hg)"
#define TXT_SYSTOLIC_RANGE "[80-250]"
#define TXT_DIASTOLIC_RANGE "[30-160]"
#define TXT_AGE_RANGE "[30-74]"
#define TXT_YEARS_RANGE "[2-10]"
#define TXT_LOW "Faible"
#define TXT_HIGH "Fort"

/* Names given to controls that have no label of their own, for screen readers */
#define TXT_SEX_NAME "Sexe"
#define TXT_UNIT_NAME "Unité du cholestérol"
#define TXT_HORIZON_NAME "Risque absolu du sujet à (ans)"
#define TXT_RESULT_NAME "Risque absolu du sujet"
#define TXT_BAR_NAME "Risque, de faible à fort"

/* Said beside a digits-only field when a typed character is refused */
#define TXT_DIGITS_ONLY "chiffres seulement"

/* Menu IDR_MAIN_MENU and the About item (IDS_ABOUT_ITEM) */
#define TXT_MENU_OPTIONS "&Options"
#define TXT_MENU_INFOS "&Infos"
#define TXT_MENU_QUITTER "&Quitter"
#define TXT_ABOUT_ITEM "&A propos de Vessane..."

/* About box (IDD_ABOUT) */
#define TXT_ABOUT_CAPTION "A propos de Vessane"
#define TXT_ABOUT_NOTICE "Copyright (c) 2026 les développeurs de Vessane"
#define TXT_ABOUT_FRAMINGHAM "Calculs basés sur les équations de Framingham"
#define TXT_ABOUT_CITATION "Anderson KM, Odell PM, Wilson PWF, Kannel WB. Cardiovascular disease risk profiles. Am Heart J 1991;121:293-8."
#define TXT_ABOUT_TERMS "Aide au jugement clinique, sans le remplacer"
#define TXT_ABOUT_CONTACT "Contact : suivi des tickets du projet"
#define TXT_OK "OK"

/* clang-format on */

#endif
