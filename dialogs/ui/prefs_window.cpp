#include "dialogs/ui/prefs_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace nimbra {

namespace {
constexpr QSize ClientSize(486, 124);
}

TPrefs::TPrefs(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      GroupBox1(new QGroupBox(QStringLiteral(" Einstellungen "), this)),
      Label1(new QLabel(QStringLiteral("externer Viewer für TGA Dateien"), GroupBox1)),
      ViewerPath(new QLineEdit(GroupBox1)),
      SB(new QPushButton(QStringLiteral("&Suchen"), GroupBox1)),
      OKBtn(new QPushButton(QStringLiteral("Ü&bernehmen"), this)),
      CnclBtn(new QPushButton(QStringLiteral("&Abbrechen"), this)),
      Dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Programm anpassen..."));
    Label1->setWordWrap(true);
    Label1->setBuddy(ViewerPath);
    // It shows the viewer "Suchen" chose; a typed path would not be the one applied.
    ViewerPath->setReadOnly(true);
    SB->setAutoDefault(false);
    CnclBtn->setAutoDefault(false);
    OKBtn->setDefault(true);

    auto* settings = new QGridLayout(GroupBox1);
    settings->addWidget(Label1, 0, 0);
    settings->addWidget(ViewerPath, 0, 1);
    settings->addWidget(SB, 0, 2);
    settings->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CnclBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addStretch();
    layout->addLayout(buttons);
    setFixedSize(ClientSize.expandedTo(sizeHint()));

    connect(SB, &QPushButton::clicked, this, &TPrefs::SBClick);
    connect(OKBtn, &QPushButton::clicked, this, &TPrefs::OKBtnClick);
    connect(CnclBtn, &QPushButton::clicked, this, &TPrefs::CnclBtnClick);
}

std::optional<std::string> TPrefs::AskViewerProgram(const std::string& viewerProgram)
{
    ViewerProgram = viewerProgram;
    if (exec() != QDialog::Accepted) return std::nullopt;
    return ViewerOpenDlg.FileName;
}

void TPrefs::SBClick()
{
    if (const std::optional<std::string> chosen = SearchViewer(ViewerOpenDlg, ViewerProgram, Dialogs))
        ViewerPath->setText(QString::fromStdString(*chosen));
}

void TPrefs::OKBtnClick() { accept(); }

void TPrefs::CnclBtnClick() { reject(); }

}  // namespace nimbra
