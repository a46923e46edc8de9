// The main window: the form, its menu and its event routing. It offers the form logic
// the control operations it needs, addressed by control identifier.
#pragma once

#include <QDialog>

#include "coronary_form.h"
#include "event_table.h"
#include "dialog_controls.h"
#include "template_builder.h"

class QLineEdit;
class QMenu;
class QMenuBar;

class CCoronaryDlg : public QDialog, public vessane::DialogControls {
    Q_OBJECT

public:
    explicit CCoronaryDlg(QWidget* parent = nullptr);
    ~CCoronaryDlg() override;

    // DialogControls
    int GetDlgItemText(int id, char* buffer, int maxCount) override;
    int GetDlgItemTextLength(int id) override;
    void SetDlgItemText(int id, const char* text) override;
    int GetCurSel(int id) override;
    int GetCheck(int id) override;
    void SetBarPos(int id, int position) override;
    void HoldChangeNotifications(bool hold) override;

    // How many times the window recomputed the result since it was created.
    int RecomputeCount() const { return recomputeCount_; }
    // The context menu that stands in for the system menu's About item.
    QMenu* ContextMenu() const { return contextMenu_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void ConnectEvents();
    void OnInitDialog();

    // Every change of a control, through the form's event table.
    void OnChange(int id, vessane::ControlChange change);
    // Shows the outcome of a recomputation beside the result: the bar disabled and the
    // reason on ERREUR.
    void ShowFailure(vessane::ValidationCheck failed);
    void OnInfos();
    void OnQuitter();
    void OnRangeLabelChanged(int labelId);

    QLineEdit* Edit(int id) const;

    QWidget* client_ = nullptr;
    vessane::qt::ControlTable controls_;
    QMenuBar* menuBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    vessane::CholesterolExchange exchange_;  // m_strTotal, m_strHdl
    int holdDepth_ = 0;
    int recomputeCount_ = 0;
};
