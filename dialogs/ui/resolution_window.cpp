#include "dialogs/ui/resolution_window.h"

#include "common/error.h"
#include "common/ui/caption_width.h"
#include "dialogs/resolution.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace nimbra {
namespace {

constexpr QSize FormSize(216, 182);

QComboBox* EditableCombo(const QStringList& items, int current, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);  // Enter must not add the typed text as an item
    combo->addItems(items);
    combo->setCurrentIndex(current);
    return combo;
}

// Writes the rewritten text back without running the change handler again, keeping the
// cursor where the user was typing.
void ShowRewritten(QComboBox& combo, const QString& text)
{
    if (combo.currentText() == text) return;
    const QSignalBlocker blocker(combo);
    const int cursor = combo.lineEdit()->cursorPosition();
    combo.setEditText(text);
    combo.lineEdit()->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

}  // namespace

TGetXYSize::TGetXYSize(UserDialogs& dialogs, QWidget* parent)
    // A close box, which cancels: without any box the window manager would offer all of them.
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      Label1(new QLabel(QStringLiteral("Blattformat"), this)),
      DIN(EditableCombo({"A6", "A5", "A4", "A3", "A2", "A1", "A0"}, 2, this)),
      Label5(new QLabel(QStringLiteral("Auflösung"), this)),
      DPI(EditableCombo({"50 dpi", "75 dpi", "100 dpi", "150 dpi", "200 dpi", "250 dpiI", "300 dpi", "350 dpi",
                         "400 dpi", "450 dpi", "500 dpi", "550 dpi", "600 dpi", "650 dpi", "700 dpi", "750 dpi",
                         "800 dpi", "850 dpi", "900 dpi", "950 dpi", "1000 dpi", "1200 dpi", "1500 dpi", "2000 dpi",
                         "2400 dpi"},
                        2, this)),
      Label6(new QLabel(QStringLiteral("Auflösung in Pixeln"), this)),
      XSize(new QLabel(QStringLiteral("1131"), this)),
      Label3(new QLabel(QStringLiteral("x"), this)),
      YSize(new QLabel(QStringLiteral("800"), this)),
      Button1(new QPushButton(QStringLiteral("&OK"), this)),
      Button2(new QPushButton(QStringLiteral("&Abbrechen"), this)),
      Dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Bildauflösung ermitteln"));
    Label1->setBuddy(DIN);
    Label5->setBuddy(DPI);
    // Enter in a combo box closes nothing: neither button is the default.
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(false);

    auto* sizes = new QHBoxLayout;
    sizes->addWidget(XSize);
    sizes->addWidget(Label3);
    sizes->addWidget(YSize);
    sizes->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(DIN, 0, 1);
    layout->addWidget(Label5, 1, 0);
    layout->addWidget(DPI, 1, 1);
    layout->addWidget(Label6, 2, 0, 1, 2);
    layout->addLayout(sizes, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);
    layout->addLayout(buttons, 5, 0, 1, 2);
    setFixedSize(FormSize.expandedTo(sizeHint()).expandedTo(QSize(CaptionWidth(*this), 0)));

    connect(DIN, &QComboBox::editTextChanged, this, &TGetXYSize::DINChange);
    connect(DPI, &QComboBox::editTextChanged, this, &TGetXYSize::DPIChange);
    connect(Button1, &QPushButton::clicked, this, &TGetXYSize::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TGetXYSize::Button2Click);
}

std::optional<ChosenSize> TGetXYSize::AskImageSize()
{
    if (exec() != QDialog::Accepted) return std::nullopt;
    return ChosenSize{XSize->text(), YSize->text()};
}

void TGetXYSize::DINChange() { Recalculate(); }

void TGetXYSize::DPIChange() { Recalculate(); }

void TGetXYSize::Recalculate()
{
    std::string dpiText = DPI->currentText().toStdString();
    std::optional<ImageSize> size;
    std::string failure;
    try {
        size = nimbra::Recalculate(DIN->currentText().toStdString(), dpiText);
    } catch (const Error& error) {
        failure = error.what();
    }
    // The digits are shown even when they could not be used.
    ShowRewritten(*DPI, QString::fromStdString(dpiText));
    if (!size) {
        Dialogs.ShowError(failure);
        return;
    }
    XSize->setText(QString::number(size->Width));
    YSize->setText(QString::number(size->Height));
}

void TGetXYSize::Button1Click() { accept(); }

void TGetXYSize::Button2Click() { reject(); }

}  // namespace nimbra
