#include "convert/ui/convert_window.h"

#include "common/ui/caption_width.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace nimbra {
namespace {

constexpr QSize FormSize(234, 163);

void CentreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace

TConvert::TConvert(UserDialogs& dialogs, Platform& platform, PumpHook& pump, QWidget* parent)
    // It cannot be closed, only minimized: without any box the window manager would offer all.
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint),
      CFileName(new QLabel(this)),
      Status1(new QLabel(QStringLiteral("Lese Dateiheader"), this)),
      Status2(new QLabel(QStringLiteral("Bitte warten ..."), this)),
      StatBar(new QProgressBar(this)),
      Button1(new QPushButton(QStringLiteral("&Abbrechen"), this)),
      Converter{*this, dialogs, platform, pump, {}, {}, false}
{
    setWindowTitle(QStringLiteral("Farbmodellkonvertierung"));
    QFont bold = CFileName->font();
    bold.setBold(true);
    CFileName->setFont(bold);
    CFileName->setAlignment(Qt::AlignCenter);
    Status1->setAlignment(Qt::AlignCenter);
    Status2->setAlignment(Qt::AlignCenter);
    StatBar->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CFileName);
    layout->addWidget(Status1);
    layout->addWidget(Status2);
    layout->addWidget(StatBar);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    FormCreate();
}

void TConvert::FormCreate()
{
    StatBar->setRange(0, 100);
    FitContents();
}

ConversionOutcome TConvert::StartConversion(ConversionKind kind) { return ConvertCommand(kind, Converter); }

void TConvert::ShowStarted(const std::string& fileName)
{
    CFileName->setText(QString::fromStdString(fileName));
    FitContents();
    CentreOnScreen(*this);
    showNormal();  // also when the user minimized it during the last conversion
}

// A long file name, or the caption, widens the window rather than being cut.
void TConvert::FitContents()
{
    setFixedSize(FormSize.expandedTo(sizeHint()).expandedTo(QSize(CaptionWidth(*this), 0)));
}

void TConvert::ShowStep(const std::string& text) { Status1->setText(QString::fromStdString(text)); }

void TConvert::ShowPercent(int percent) { StatBar->setValue(percent); }

void TConvert::Hide() { hide(); }

void TConvert::closeEvent(QCloseEvent* event)
{
    // There is no close box: only the end of the conversion hides the window.
    event->ignore();
}

}  // namespace nimbra
