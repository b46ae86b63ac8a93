#pragma once
#include "common/user_dialogs.h"

#include <QDialog>
#include <QString>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace nimbra {

// The size captions the resolution calculator was closed with by "OK".
struct ChosenSize {
    QString Width;
    QString Height;
};

// The resolution calculator: a DIN sheet and a printer resolution give an image size. Its
// texts keep their values from one opening to the next.
class TGetXYSize final : public QDialog {
    Q_OBJECT
public:
    explicit TGetXYSize(UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the dialog modally; the size when closed with "OK". The caller copies it into
    // its size fields and switches the preview off either way.
    std::optional<ChosenSize> AskImageSize();

    QLabel* Label1;
    QComboBox* DIN;
    QLabel* Label5;
    QComboBox* DPI;
    QLabel* Label6;
    QLabel* XSize;
    QLabel* Label3;
    QLabel* YSize;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    void DINChange();
    void DPIChange();
    void Recalculate();
    void Button1Click();
    void Button2Click();

    UserDialogs& Dialogs;
};

}  // namespace nimbra
