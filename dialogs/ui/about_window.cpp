#include "dialogs/ui/about_window.h"

#include "common/version.h"
#include "engine/kernels.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <vector>

namespace nimbra {

namespace {

constexpr int LogoWidth = 168;
constexpr int LogoHeight = 120;
constexpr int LogoIterations = 48;
constexpr int CycleColours = 32;
constexpr int FrameIntervalMs = 80;

// Passes from z = 0 until the point escapes, LogoIterations marking the inside. The kernel
// starts at the first pass's value, the point itself, which may lie outside already.
int LogoCount(long double cr, long double ci)
{
    const MandelbrotPass firstPass(cr, ci);
    if (firstPass.Escaped()) return 1;
    const std::atomic<bool> never{false};
    NoPassHook hook;
    return IterateKernel<1>(firstPass, 1, LogoIterations, never, hook).Count;
}

// Escape counts of the logo's Mandelbrot region.
std::vector<int> LogoCounts()
{
    std::vector<int> counts(LogoWidth * LogoHeight);
    const long double step = 2.8L / LogoWidth;
    for (int row = 0; row < LogoHeight; ++row)
        for (int column = 0; column < LogoWidth; ++column)
            counts[static_cast<std::size_t>(row * LogoWidth + column)] =
                LogoCount(-2.1L + column * step, -1.0L + row * step);
    return counts;
}

// Hue cycles with the count and the phase; points that escape at once stay dark, so the
// logo fades into the background picture.
QRgb LogoColour(int count, int phase)
{
    if (count == LogoIterations) return qRgb(0, 0, 0);
    const int hue = (count + phase) % CycleColours * 360 / CycleColours;
    const int value = std::min(255, 40 + count * 22);
    return QColor::fromHsv(hue, 210, value).rgb();
}

}  // namespace

// The background picture with the logo at its top; the texts lie on it as labels.
class AboutPicture final : public QWidget {
public:
    explicit AboutPicture(QWidget* parent) : QWidget(parent), counts_(LogoCounts())
    {
        setMinimumSize(LogoWidth + 48, LogoHeight + 24);
        Render();
    }

    void Advance()
    {
        phase_ = (phase_ + 1) % CycleColours;
        Render();
        update(LogoRect());
    }

    const QImage& Logo() const { return logo_; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(12, 18, 60));
        sky.setColorAt(1, QColor(70, 30, 100));
        painter.fillRect(rect(), sky);
        painter.drawImage(LogoRect().topLeft(), logo_);
        painter.setPen(QColor(200, 200, 255));
        painter.drawRect(LogoRect().adjusted(-1, -1, 0, 0));
    }

private:
    QRect LogoRect() const { return QRect((width() - LogoWidth) / 2, 12, LogoWidth, LogoHeight); }

    void Render()
    {
        QImage image(LogoWidth, LogoHeight, QImage::Format_RGB32);
        for (int row = 0; row < LogoHeight; ++row) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
            for (int column = 0; column < LogoWidth; ++column) {
                line[column] = LogoColour(counts_[static_cast<std::size_t>(row * LogoWidth + column)], phase_);
            }
        }
        logo_ = image;
    }

    std::vector<int> counts_;
    int phase_ = 0;
    QImage logo_;
};

TCopyright::TCopyright(const QString& title, const QString& address, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      TitleLabel(new QLabel(title)),
      VersionLabel(new QLabel(QStringLiteral("Version ") + QString::fromUtf8(ProgramVersion))),
      CopyrightLabel(new QLabel(QStringLiteral("Copyright © 2005 Nimbra-Projekt. Alle Rechte vorbehalten."))),
      AddressLabel(new QLabel(address)),
      OKButton(new QPushButton(QStringLiteral("&OK"))),
      Picture(new AboutPicture(this)),
      LogoTimer(new QTimer(this))
{
    setWindowTitle(QStringLiteral("über ") + title);
    QFont large = TitleLabel->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    large.setBold(true);
    TitleLabel->setFont(large);
    for (QLabel* label : {TitleLabel, VersionLabel, CopyrightLabel, AddressLabel}) {
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    }

    auto* onPicture = new QVBoxLayout(Picture);
    onPicture->setContentsMargins(16, LogoHeight + 24, 16, 16);
    onPicture->addWidget(TitleLabel);
    onPicture->addWidget(VersionLabel);
    onPicture->addWidget(CopyrightLabel);
    onPicture->addWidget(AddressLabel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Picture);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    LogoTimer->setInterval(FrameIntervalMs);
    connect(LogoTimer, &QTimer::timeout, this, &TCopyright::AdvanceLogo);
}

void TCopyright::AdvanceLogo() { Picture->Advance(); }

QImage TCopyright::CurrentLogo() const { return Picture->Logo(); }

void TCopyright::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    LogoTimer->start();
}

void TCopyright::hideEvent(QHideEvent* event)
{
    LogoTimer->stop();
    QDialog::hideEvent(event);
}

}  // namespace nimbra
