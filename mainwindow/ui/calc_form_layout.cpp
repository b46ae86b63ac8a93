#include "mainwindow/ui/button_pictures.h"
#include "mainwindow/ui/calc_form.h"
#include "mainwindow/ui/constant_box.h"
#include "mainwindow/ui/group_frame.h"
#include "mainwindow/ui/mode_picture.h"
#include "mainwindow/ui/screen_dpi.h"
#include "mainwindow/ui/wrapping_check_box.h"
#include "mainwindow/window_scale.h"

#include <QActionGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

// Positions are those of the 96-dpi layout, scaled to the screen. The window keeps the
// 8-point font of its design: the desktop's own size would not fit the fixed client area.
// Where the design left too little room for the captions in our fonts, a control is wider
// or taller than designed, and its neighbours moved just enough (see the numbers below).

namespace nimbra {
namespace {

constexpr int DesignPointSize = 8;
constexpr int StatusBarHeight = 19;
constexpr int ButtonPictureSize = 22;

class Placer {
public:
    explicit Placer(double dpiFactor) : factor_(dpiFactor) {}

    int operator()(int length) const { return ScaledLength(length, factor_); }

    void Place(QWidget* widget, int left, int top, int width, int height) const
    {
        widget->setGeometry((*this)(left), (*this)(top), (*this)(width), (*this)(height));
    }

    // Grows a button or box to what its caption needs, keeping its place.
    void PlaceFitting(QWidget* widget, int left, int top, int width, int height) const
    {
        const QSize needed = widget->sizeHint();
        widget->setGeometry((*this)(left), (*this)(top), std::max((*this)(width), needed.width()),
                            std::max((*this)(height), needed.height()));
    }

    // A label as wide as its text.
    void PlaceLabel(QLabel* label, int left, int top) const
    {
        label->move((*this)(left), (*this)(top));
        label->adjustSize();
    }

private:
    double factor_;
};

QLabel* NewLabel(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

QLineEdit* NewEdit(const char* text, const char* hint, QWidget* parent)
{
    auto* edit = new QLineEdit(QString::fromUtf8(text), parent);
    edit->setToolTip(QString::fromUtf8(hint));
    return edit;
}

QComboBox* NewConstantBox(const char* hint, QWidget* parent)
{
    auto* box = new ConstantBox(parent);
    box->setToolTip(QString::fromUtf8(hint));
    box->hide();
    return box;
}

QToolButton* NewPictureButton(ButtonPicture picture, const char* hint, const Placer& scaled, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setIcon(DrawButtonPicture(picture, scaled(ButtonPictureSize)));
    button->setIconSize(QSize(scaled(ButtonPictureSize), scaled(ButtonPictureSize)));
    button->setToolTip(QString::fromUtf8(hint));
    button->setAccessibleName(QString::fromUtf8(hint));  // it has a picture, no caption
    return button;
}

// The shortcuts belong to the program, not to this window: they work from the preview too.
// A screen reader names a field by its label. Where the label alone says too little ("x", "bis")
// the name adds what the row is about.
void LabelField(QLabel* label, QWidget* field, const char* name = nullptr)
{
    label->setBuddy(field);
    if (name != nullptr) field->setAccessibleName(QString::fromUtf8(name));
}

QAction* NewCommand(QMenu* menu, const char* caption, const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::ApplicationShortcut);
    return action;
}

}  // namespace

void TCalcForm::BuildControls()
{
    const Placer scaled(ScreenDpiFactor());
    auto* client = new QWidget(this);
    QFont designFont = client->font();
    designFont.setPointSize(DesignPointSize);
    client->setFont(designFont);
    setCentralWidget(client);

    // Creation order is the tab order.
    GroupBox1 = new GroupFrame(QStringLiteral("Bildoptionen"), client);
    scaled.Place(GroupBox1, 8, 8, 199, 161);  // 193 wide by design: the CMY caption needs more
    Label1 = NewLabel("Auflösung", GroupBox1);
    scaled.PlaceLabel(Label1, 8, 20);
    WidthEdit = NewEdit("640", "Eingabe Bildbreite", GroupBox1);
    scaled.Place(WidthEdit, 67, 16, 47, 21);  // 64 / 49 by design, clear of "Auflösung"
    Label2 = NewLabel("x", GroupBox1);
    scaled.PlaceLabel(Label2, 120, 20);
    HeightEdit = NewEdit("480", "Eingabe Bildhöhe", GroupBox1);
    scaled.Place(HeightEdit, 136, 16, 49, 21);
    Label4 = NewLabel("Farbmodell", GroupBox1);
    scaled.PlaceLabel(Label4, 6, 40);
    SetRGB = new QRadioButton(QStringLiteral("&Red  Green  Blue (RGB)"), GroupBox1);
    SetRGB->setToolTip(QStringLiteral("Farbmodell RGB"));
    SetRGB->setChecked(true);
    scaled.PlaceFitting(SetRGB, 16, 56, 153, 17);
    SetCMY = new QRadioButton(QStringLiteral("&Cyan Magenta Yellow (CMY)"), GroupBox1);
    SetCMY->setToolTip(QStringLiteral("Farbmodell CMY"));
    scaled.PlaceFitting(SetCMY, 16, 80, 161, 17);
    SetGrad = new QRadioButton(QStringLiteral("Farb&palette (F9)"), GroupBox1);
    SetGrad->setToolTip(QStringLiteral("Farbverlauf / Palette"));
    scaled.PlaceFitting(SetGrad, 16, 104, 161, 17);
    ModePic = new ModePicture(GroupBox1);
    scaled.Place(ModePic, 6, 128, 180, 28);

    // 208 / 233 by design; the edits start at 84 instead of 72 so that "imaginär von" fits.
    GroupBox2 = new GroupFrame(QStringLiteral("Berechnungsoptionen"), client);
    scaled.Place(GroupBox2, 212, 8, 229, 161);
    Label5 = NewLabel("real von", GroupBox2);
    scaled.PlaceLabel(Label5, 8, 24);
    RealFEdit = NewEdit("-2,000", "Startwert der Berechnung X (real)", GroupBox2);
    scaled.Place(RealFEdit, 84, 20, 57, 21);
    Label6 = NewLabel("bis", GroupBox2);
    scaled.PlaceLabel(Label6, 147, 24);
    RealTEdit = NewEdit("0,500", "Endwert der Berechnung X (real)", GroupBox2);
    scaled.Place(RealTEdit, 167, 20, 57, 21);
    Label8 = NewLabel("imaginär von", GroupBox2);
    scaled.PlaceLabel(Label8, 8, 56);
    ImagFEdit = NewEdit("-1,250", "Startwert der Berechnung Y (imaginär)", GroupBox2);
    scaled.Place(ImagFEdit, 84, 52, 57, 21);
    Label9 = NewLabel("bis", GroupBox2);
    scaled.PlaceLabel(Label9, 147, 56);
    ImagTEdit = NewEdit("1,250", "Endwert der Berechnung Y (imaginär)", GroupBox2);
    scaled.Place(ImagTEdit, 167, 52, 57, 21);
    Label10 = NewLabel("Iteration", GroupBox2);
    scaled.PlaceLabel(Label10, 8, 88);
    IterationEdit = NewEdit("100", "Berechnungs-/Farbtiefe", GroupBox2);
    scaled.Place(IterationEdit, 84, 84, 57, 21);
    SetInvers = new QCheckBox(QStringLiteral("&Invertiert"), GroupBox2);
    SetInvers->setToolTip(QStringLiteral("Invertierung der Berechnungstiefe"));
    scaled.PlaceFitting(SetInvers, 147, 86, 73, 17);
    c0 = NewLabel("Konstanten", GroupBox2);
    scaled.PlaceLabel(c0, 8, 120);
    c0->hide();
    // At 72 as designed, "Konstanten" being short; i0 one pixel right of its design place, so
    // that the boxes do not overlap.
    r0 = NewConstantBox("reeller Startwert für Julia Menge", GroupBox2);
    scaled.Place(r0, 72, 116, 81, 21);
    i0 = NewConstantBox("imaginärer Startwert für Julia Menge", GroupBox2);
    scaled.Place(i0, 153, 116, 73, 21);
    LabelField(Label1, WidthEdit, "Auflösung Breite");
    LabelField(Label2, HeightEdit, "Auflösung Höhe");
    LabelField(Label5, RealFEdit);
    LabelField(Label6, RealTEdit, "real bis");
    LabelField(Label8, ImagFEdit);
    LabelField(Label9, ImagTEdit, "imaginär bis");
    LabelField(Label10, IterationEdit);
    LabelField(c0, r0, "Konstante real");
    i0->setAccessibleName(QStringLiteral("Konstante imaginär"));
    FormelName = new QLabel(GroupBox2);
    FormelName->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scaled.Place(FormelName, 4, 144, 221, 13);

    ZSG = new GroupFrame(QStringLiteral(" Vorschau - Scrolling - Zooming "), client);
    scaled.Place(ZSG, 447, 7, 186, 138);
    SCU = NewPictureButton(ButtonPicture::ArrowUp, "Scrollt Vorschau um 10% des Anzeigebereiches nach oben", scaled, ZSG);
    scaled.Place(SCU, 16, 16, 33, 33);
    SCL = NewPictureButton(ButtonPicture::ArrowLeft, "Scrollt Vorschau um 10% des Anzeigebereiches nach links", scaled,
                           ZSG);
    scaled.Place(SCL, 56, 16, 33, 33);
    SCR = NewPictureButton(ButtonPicture::ArrowRight, "Scrollt Vorschau um 10% des Anzeigebereiches nach rechts",
                           scaled, ZSG);
    scaled.Place(SCR, 96, 16, 33, 33);
    SCD = NewPictureButton(ButtonPicture::ArrowDown, "Scrollt Vorschau um 10% des Anzeigebereiches nach unten", scaled,
                           ZSG);
    scaled.Place(SCD, 136, 16, 33, 33);
    ZOI = NewPictureButton(ButtonPicture::ZoomIn, "Zoomt 10% in die Vorschau hinein", scaled, ZSG);
    scaled.Place(ZOI, 56, 56, 33, 33);
    ZOO = NewPictureButton(ButtonPicture::ZoomOut, "Zoomt 10% aus der Vorschau heraus", scaled, ZSG);
    scaled.Place(ZOO, 96, 56, 33, 33);
    SetTestMode = new WrappingCheckBox(QStringLiteral("&Vorschau mit den eingegebenen Berechnungsparametern"), ZSG);
    SetTestMode->setToolTip(QStringLiteral("Berechnungsvorschau aktivieren"));
    SetTestMode->setChecked(true);
    scaled.Place(SetTestMode, 5, 93, 177, 41);  // 35 high by design: the caption takes three lines

    MakeButton = new QPushButton(QStringLiteral("&Berechnen"), client);
    MakeButton->setToolTip(QStringLiteral("Berechnung starten"));
    MakeButton->setDefault(true);
    scaled.Place(MakeButton, 448, 154, 81, 25);
    ShowBtn = new QPushButton(QStringLiteral("Bild &ansehen"), client);
    ShowBtn->setEnabled(false);
    scaled.Place(ShowBtn, 536, 154, 97, 25);
    NormTime = NewLabel("00:00:00", client);
    scaled.PlaceLabel(NormTime, 8, 176);
    CalcTime = NewLabel("", client);
    scaled.PlaceLabel(CalcTime, 192, 176);

    StBar = statusBar();
    StBar->setFont(designFont);
    StBar->setSizeGripEnabled(false);
    StBar->setFixedHeight(scaled(StatusBarHeight));
}

void TCalcForm::BuildMenu()
{
    QMenuBar* MainMenu1 = menuBar();
    QMenu* fractals = MainMenu1->addMenu(QStringLiteral("&Fraktale"));
    CFGLoad = NewCommand(fractals, "Konfiguration &laden", Qt::Key_F2);
    CFGSave = NewCommand(fractals, "Konfiguration &speichern", Qt::Key_F3);
    Formeln1 = fractals->addMenu(QStringLiteral("&Formeln"));
    formulaGroup_ = new QActionGroup(this);
    int key = Qt::Key_1;
    for (const FormulaInfo& formula : Formulas) {
        QAction* command =
            NewCommand(Formeln1, formula.MenuCaption, QKeySequence(Qt::CTRL | static_cast<Qt::Key>(key++)));
        command->setObjectName(QString::fromLatin1(formula.CommandName));
        command->setCheckable(true);
        formulaGroup_->addAction(command);
        formulaCommands_[static_cast<std::size_t>(formula.Kind)] = command;
    }
    QAction* mandelbrot = formulaCommands_[static_cast<std::size_t>(FormulaKind::Mandelbrot)];
    mandelbrot->setChecked(true);
    Formeln1->setDefaultAction(mandelbrot);
    Auflsungermitteln1 = NewCommand(fractals, "&Bildauflösung ermitteln", Qt::Key_F4);
    fractals->addSeparator();
    ViewBack = NewCommand(fractals, "Ansicht &zurück", QKeySequence(Qt::ALT | Qt::Key_Left));
    ViewForward = NewCommand(fractals, "Ansicht &vor", QKeySequence(Qt::ALT | Qt::Key_Right));
    fractals->addSeparator();
    Extras1 = fractals->addMenu(QStringLiteral("&Extras"));
    PrgSet = NewCommand(Extras1, "Pro&gramm anpassen", Qt::Key_F5);
    fractals->addSeparator();
    Rcksetzen1 = NewCommand(fractals, "&Rücksetzen", Qt::Key_F8);
    fractals->addSeparator();
    Beenden1 = NewCommand(fractals, "&Programm beenden", QKeySequence(Qt::ALT | Qt::Key_F4));
    Beenden1->setShortcutContext(Qt::WindowShortcut);  // in another window Alt+F4 closes that window

    QMenu* colours = MainMenu1->addMenu(QStringLiteral("Far&ben"));
    Farbpalettegenerieren1 = NewCommand(colours, "Farbpalette &generieren", Qt::Key_F9);
    Farbraumkkonvertierung1 = colours->addMenu(QStringLiteral("Farbraum&konvertierung"));
    const std::pair<QAction**, const char*> conversions[] = {
        {&RGBCMY1, "&RGB --> CMY"},  {&RGBGRAD1, "R&GB --> GRAD"}, {&CMYRGB1, "&CMY --> RGB"},
        {&CMYGRAD1, "C&MY --> GRAD"}, {&GRADRGB1, "GRAD --> RGB"},  {&GRADCMY1, "GRAD --> CMY"},
    };
    key = Qt::Key_1;
    for (const auto& [action, caption] : conversions)
        *action = NewCommand(Farbraumkkonvertierung1, caption, QKeySequence(Qt::ALT | static_cast<Qt::Key>(key++)));

    QMenu* help = MainMenu1->addMenu(QStringLiteral("&Hilfe"));
    Inhalt1 = NewCommand(help, "&Index", Qt::Key_F1);
    help->addSeparator();
    OnlineManual1 = NewCommand(help, "&Anleitung Online", QKeySequence(Qt::CTRL | Qt::Key_O));
    Updatesuchen1 = NewCommand(help, "nach &Updates suchen", QKeySequence(Qt::CTRL | Qt::Key_U));
    help->addSeparator();
    ber1 = NewCommand(help, "ü&ber Nimbra ...", QKeySequence(Qt::CTRL | Qt::Key_I));
}

// The controls' names are their object names too, so that tests (and a search) find them.
void TCalcForm::NameControls()
{
    const std::pair<QObject*, const char*> names[] = {
        {GroupBox1, "GroupBox1"},
        {Label1, "Label1"},
        {WidthEdit, "WidthEdit"},
        {Label2, "Label2"},
        {HeightEdit, "HeightEdit"},
        {Label4, "Label4"},
        {SetRGB, "SetRGB"},
        {SetCMY, "SetCMY"},
        {SetGrad, "SetGrad"},
        {ModePic, "ModePic"},
        {GroupBox2, "GroupBox2"},
        {Label5, "Label5"},
        {RealFEdit, "RealFEdit"},
        {Label6, "Label6"},
        {RealTEdit, "RealTEdit"},
        {Label8, "Label8"},
        {ImagFEdit, "ImagFEdit"},
        {Label9, "Label9"},
        {ImagTEdit, "ImagTEdit"},
        {Label10, "Label10"},
        {IterationEdit, "IterationEdit"},
        {SetInvers, "SetInvers"},
        {c0, "c0"},
        {r0, "r0"},
        {i0, "i0"},
        {FormelName, "FormelName"},
        {ZSG, "ZSG"},
        {SCU, "SCU"},
        {SCL, "SCL"},
        {SCR, "SCR"},
        {SCD, "SCD"},
        {ZOI, "ZOI"},
        {ZOO, "ZOO"},
        {SetTestMode, "SetTestMode"},
        {MakeButton, "MakeButton"},
        {ShowBtn, "ShowBtn"},
        {NormTime, "NormTime"},
        {CalcTime, "CalcTime"},
        {StBar, "StBar"},
        {Timer1, "Timer1"},
        {menuBar(), "MainMenu1"},
        {CFGLoad, "CFGLoad"},
        {CFGSave, "CFGSave"},
        {Formeln1, "Formeln1"},
        {Auflsungermitteln1, "Auflsungermitteln1"},
        {ViewBack, "ViewBack"},
        {ViewForward, "ViewForward"},
        {Extras1, "Extras1"},
        {PrgSet, "PrgSet"},
        {Rcksetzen1, "Rcksetzen1"},
        {Beenden1, "Beenden1"},
        {Farbpalettegenerieren1, "Farbpalettegenerieren1"},
        {Farbraumkkonvertierung1, "Farbraumkkonvertierung1"},
        {RGBCMY1, "RGBCMY1"},
        {RGBGRAD1, "RGBGRAD1"},
        {CMYRGB1, "CMYRGB1"},
        {CMYGRAD1, "CMYGRAD1"},
        {GRADRGB1, "GRADRGB1"},
        {GRADCMY1, "GRADCMY1"},
        {Inhalt1, "Inhalt1"},
        {OnlineManual1, "OnlineManual1"},
        {Updatesuchen1, "Updatesuchen1"},
        {ber1, "ber1"},
    };
    for (const auto& [control, name] : names) control->setObjectName(QString::fromLatin1(name));
}

}  // namespace nimbra
