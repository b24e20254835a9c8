#pragma once
// The sleep dialog: hours and minutes of the sleep time, OK and Cancel. It offers the settings'
// last time and, on OK, stores what the edits read as numbers (no number reads as 0; no range
// check), written to the settings file at once when it changed. Cancel changes nothing. A
// frameless box on top of everything, modal for the program.
// GUI thread only.
#include <QDialog>

class QLineEdit;

namespace dravo {

class ClientSettings;

// The name breaks the naming rule on purpose: the sleep dialog class has always been CsleepDlg.
class CsleepDlg : public QDialog {
public:
    CsleepDlg(ClientSettings& settings, QWidget* parent = nullptr);

    void accept() override;

private:
    ClientSettings& settings_;
    QLineEdit* hours_ = nullptr;
    QLineEdit* minutes_ = nullptr;
};

}  // namespace dravo
