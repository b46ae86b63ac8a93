#pragma once
#include "convert/convert_file.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace nimbra {

// The conversion's progress window: created hidden, shown by each conversion, hidden at its end.
class TConvert final : public QWidget, public ConversionProgress {
    Q_OBJECT
public:
    TConvert(UserDialogs& dialogs, Platform& platform, PumpHook& pump, QWidget* parent = nullptr);

    // The six menu commands call this with their kind; returns when the conversion has ended.
    ConversionOutcome StartConversion(ConversionKind kind);

    void ShowStarted(const std::string& fileName) override;
    void ShowStep(const std::string& text) override;
    void ShowPercent(int percent) override;
    void Hide() override;

    QLabel* CFileName;
    QLabel* Status1;
    QLabel* Status2;
    QProgressBar* StatBar;
    QPushButton* Button1;  // a conversion cannot be cancelled: the button has no action

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FitContents();

    ConversionContext Converter;
};

}  // namespace nimbra
