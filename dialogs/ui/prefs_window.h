#pragma once
#include "common/user_dialogs.h"
#include "dialogs/viewer.h"

#include <QDialog>

#include <optional>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nimbra {

// The preferences: the external viewer for TGA files. Its edit field and its open dialog's
// file name keep their contents between openings and are not filled when it opens.
class TPrefs final : public QDialog {
    Q_OBJECT
public:
    explicit TPrefs(UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the dialog modally; the new viewer program when closed with "Übernehmen".
    std::optional<std::string> AskViewerProgram(const std::string& viewerProgram);

    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLineEdit* ViewerPath;
    QPushButton* SB;
    QPushButton* OKBtn;
    QPushButton* CnclBtn;

private:
    void SBClick();
    void OKBtnClick();
    void CnclBtnClick();

    UserDialogs& Dialogs;
    ViewerOpenDialog ViewerOpenDlg;
    std::string ViewerProgram;  // as the main window had it when the dialog opened
};

}  // namespace nimbra
