#pragma once
#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QTimer;

namespace nimbra {

class AboutPicture;

// The about box: the program's name, its version (the one nimbra-cli --version prints), a
// copyright line and the web address over a picture with a small Mandelbrot logo whose colours
// cycle while the box is shown.
class TCopyright final : public QDialog {
    Q_OBJECT
public:
    TCopyright(const QString& title, const QString& address, QWidget* parent = nullptr);

    // One step of the colour cycle; the timer calls it while the box is shown.
    void AdvanceLogo();
    QImage CurrentLogo() const;

    QLabel* TitleLabel;
    QLabel* VersionLabel;
    QLabel* CopyrightLabel;
    QLabel* AddressLabel;
    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    AboutPicture* Picture;
    QTimer* LogoTimer;
};

}  // namespace nimbra
