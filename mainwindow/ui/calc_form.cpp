#include "mainwindow/ui/calc_form.h"

#include "common/guarded.h"
#include "dialogs/web_pages.h"
#include "engine/formula_defaults.h"
#include "files/param_files.h"
#include "mainwindow/constant_history.h"
#include "mainwindow/mode_picture_colours.h"
#include "mainwindow/model_iterations.h"
#include "mainwindow/progress_texts.h"
#include "mainwindow/start_folder.h"
#include "mainwindow/ui/mode_picture.h"
#include "mainwindow/ui/screen_dpi.h"
#include "mainwindow/window_scale.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace nimbra {
namespace {

constexpr int TimerIntervalMs = 1000;
constexpr char AskResetText[] = "Sollen die Eingabefelder auf ihre Standardwerte zurückgesetzt werden ?";
constexpr char AskResetCaption[] = "Rücksetzen";

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Bytes(const QString& text) { return text.toStdString(); }

// A field written by the program shows the start of its text, as a long number's sign and
// leading digits matter most; an unchanged text keeps the user's cursor.
void SetFieldText(QLineEdit* field, const QString& shown)
{
    if (field->text() == shown) return;
    field->setText(shown);
    field->setCursorPosition(0);
}

void SetFieldText(QLineEdit* field, const std::string& text) { SetFieldText(field, Text(text)); }

// The history files hold 8-bit ANSI text, as they always have: each byte is shown as the one
// Latin-1 character it stands for, and what the user types is written back the same way.
QString HistoryText(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string HistoryBytes(const QString& text) { return text.toLatin1().toStdString(); }

// In one insertion, so that the box and its list react once, not once for each item.
void AddHistoryItems(QComboBox* box, const std::vector<std::string>& items)
{
    QList<QStandardItem*> rows;
    rows.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& bytes : items) rows.append(new QStandardItem(HistoryText(bytes)));
    static_cast<QStandardItemModel*>(box->model())->invisibleRootItem()->appendRows(rows);
}

std::vector<std::string> ItemBytes(const QComboBox* box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i) items.push_back(HistoryBytes(box->itemText(i)));
    return items;
}

Qt::FocusReason FocusReason(const QEvent* event) { return static_cast<const QFocusEvent*>(event)->reason(); }

// Moving between the windows, or opening a popup, is not entering or leaving a field.
bool CountsAsFieldChange(const QEvent* event)
{
    const Qt::FocusReason reason = FocusReason(event);
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

TCalcForm::TCalcForm(ProgramState& state, PaletteList& palette, UserDialogs& dialogs, Platform& system,
                     PumpHook& pump, std::function<double()> timeOfDay)
    // A system menu and a minimize box; the size is fixed, so no maximize box.
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      state_(state), palette_(palette), dialogs_(dialogs), system_(system), pump_(pump),
      timeOfDay_(std::move(timeOfDay))
{
    BuildControls();
    BuildMenu();
    ConnectHandlers();
    NameControls();
    ConnectMenuCommands();
    FormCreate();
}

TCalcForm::~TCalcForm() = default;

void TCalcForm::ConnectHandlers()
{
    connect(MakeButton, &QPushButton::clicked, this, &TCalcForm::MakeButtonClick);
    connect(ShowBtn, &QPushButton::clicked, this, &TCalcForm::ShowBtnClick);
    // Selecting a colour model, by the user or by the program, runs its handler; clicking the
    // one already selected does not.
    connect(SetRGB, &QRadioButton::toggled, this, [this](bool selected) { if (selected) SetRGBClick(); });
    connect(SetCMY, &QRadioButton::toggled, this, [this](bool selected) { if (selected) SetCMYClick(); });
    connect(SetGrad, &QRadioButton::toggled, this, [this](bool selected) { if (selected) SetGradClick(); });
    for (const FormulaInfo& formula : Formulas) {
        connect(formulaCommands_[static_cast<std::size_t>(formula.Kind)], &QAction::triggered, this,
                [this, kind = formula.Kind] { FormulaCommand(kind); });
    }
    connect(Rcksetzen1, &QAction::triggered, this, &TCalcForm::ResetInputs);
    connect(Beenden1, &QAction::triggered, this, &QWidget::close);
    connect(ZOO, &QToolButton::clicked, this, [this] { RegionButtonClick(RegionButton::ZoomOut); });
    connect(ZOI, &QToolButton::clicked, this, [this] { RegionButtonClick(RegionButton::ZoomIn); });
    connect(SCL, &QToolButton::clicked, this, [this] { RegionButtonClick(RegionButton::ScrollLeft); });
    connect(SCR, &QToolButton::clicked, this, [this] { RegionButtonClick(RegionButton::ScrollRight); });
    connect(SCU, &QToolButton::clicked, this, [this] { RegionButtonClick(RegionButton::ScrollUp); });
    connect(SCD, &QToolButton::clicked, this, [this] { RegionButtonClick(RegionButton::ScrollDown); });
    connect(ViewBack, &QAction::triggered, this, &TCalcForm::ViewBackClick);
    connect(ViewForward, &QAction::triggered, this, &TCalcForm::ViewForwardClick);

    fieldStatusCodes_ = {{WidthEdit, Status::WidthField},         {HeightEdit, Status::HeightField},
                         {RealFEdit, Status::RealFromField},      {RealTEdit, Status::RealToField},
                         {ImagFEdit, Status::ImagFromField},      {ImagTEdit, Status::ImagToField},
                         {IterationEdit, Status::IterationsField}, {r0, Status::JuliaRealField},
                         {i0, Status::JuliaImagField}};
    for (const auto& [field, code] : fieldStatusCodes_) field->installEventFilter(this);
    MakeButton->installEventFilter(this);
    menuBar()->installEventFilter(this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(TimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TCalcForm::Timer1Timer);
}

void TCalcForm::FormCreate()
{
    setWindowTitle(QStringLiteral("Nimbra"));
    state_.StatusCode = Status::Ready;
    SetRGBClick();
    ResetInputs();
    // Filling the fields at start is no step: going back leads to no region before it.
    state_.Regions = RegionHistory();
    EnableViewCommands();
    state_.StartFolder = CurrentStartFolder();
    // "param" and "pal" too: without "param" the settings could never be saved.
    CreateWorkFolders(state_.StartFolder);
    std::vector<std::string> realItems;
    std::vector<std::string> imagItems;
    LoadParameterFile(ParameterFilePath(state_.StartFolder), realItems, imagItems, dialogs_, pump_);
    AddHistoryItems(r0, realItems);
    AddHistoryItems(i0, imagItems);
    // Filling a box has put its first item into the field already, the cursor at its end.
    for (QComboBox* box : {r0, i0}) {
        box->lineEdit()->clear();
        SetFieldText(box->lineEdit(), box->itemText(0));
    }
    LoadProgramSettings(SettingsFilePath(state_.StartFolder), state_.ViewerProgram, dialogs_, pump_);

    StBar->showMessage(Text(StatusLineText(Status::Ready)));
    Timer1->start();
    FormResize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // No field is entered when the window opens.
    MakeButton->setFocus();
}

bool TCalcForm::FormCloseQuery()
{
    if (state_.QueryClose(dialogs_) == CloseDecision::KeepOpen) return false;
    SaveParameterFile(ParameterFilePath(state_.StartFolder), ItemBytes(r0), ItemBytes(i0), dialogs_);
    SaveProgramSettings(SettingsFilePath(state_.StartFolder), state_.ViewerProgram, dialogs_);
    return true;
}

void TCalcForm::FormClose()
{
    state_.EndProgram();
    Timer1->stop();
    palette_.ClearPalette();
    emit Closed();
}

void TCalcForm::FormResize()
{
    const PixelSize client = MainClientSize(ScreenDpiFactor());
    const QSize wanted(client.Width, menuBar()->sizeHint().height() + client.Height);
    if (size() != wanted || minimumSize() != wanted || maximumSize() != wanted) setFixedSize(wanted);
}

bool TCalcForm::event(QEvent* event)
{
    // The status line belongs to the program: hovering a menu command must not clear it.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void TCalcForm::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TCalcForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TCalcForm::keyPressEvent(QKeyEvent* event)
{
    // The calculate button is the window's default button: Enter in any field presses it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        MakeButton->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool TCalcForm::eventFilter(QObject* watched, QEvent* event)
{
    // "&Berechnen" and the menu "Far&ben" share Alt+B; as on the system the program was made
    // for, the button wins instead of both waiting for a second press.
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->isAmbiguous() && shortcut->key() == QKeySequence::mnemonic(MakeButton->text())) {
            MakeButton->click();
            return true;
        }
    }
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) && CountsAsFieldChange(event)) {
        for (const auto& [field, code] : fieldStatusCodes_) {
            if (field != watched) continue;
            if (event->type() == QEvent::FocusIn)
                FieldEnter(field, code, FocusReason(event) != Qt::OtherFocusReason);
            else
                FieldExit(field);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// WidthEditEnter, HeightEditEnter, ..., r0Enter, i0Enter.
void TCalcForm::FieldEnter(QWidget* field, Status status, bool byUser)
{
    state_.StatusCode = status;
    // A size typed by hand is meant for a file; the focus a loaded configuration puts into the
    // width field keeps the preview setting it brought.
    if (byUser && (field == WidthEdit || field == HeightEdit)) SetTestMode->setChecked(false);
}

void TCalcForm::PutCursorInto(QWidget* field)
{
    QWidget* left = focusWidget();
    field->setFocus(Qt::OtherFocusReason);
    // A window that is not active yet (a file dialog has just closed) moves its focus without
    // focus events, and gets it back later by an activation, which is no field change: the
    // field left and the field entered are handled here.
    if (isActiveWindow() || left == field) return;
    for (const auto& [known, code] : fieldStatusCodes_) {
        if (known == left) FieldExit(left);
    }
    for (const auto& [known, code] : fieldStatusCodes_) {
        if (known == field) FieldEnter(field, code, false);
    }
}

// WidthEditExit, ..., r0Exit, i0Exit.
void TCalcForm::FieldExit(QWidget* field)
{
    state_.StatusCode = Status::Ready;
    if (field == r0 || field == i0) AddConstantToHistory(static_cast<QComboBox*>(field));
    // Left, a field shows the start of its text, as SetFieldText does.
    auto* box = qobject_cast<QComboBox*>(field);
    auto* edit = box != nullptr ? box->lineEdit() : qobject_cast<QLineEdit*>(field);
    if (edit != nullptr) edit->setCursorPosition(0);
}

void TCalcForm::AddConstantToHistory(QComboBox* box)
{
    state_.StatusCode = Status::Ready;
    std::vector<std::string> items = ItemBytes(box);
    const QString shown = box->currentText();
    if (nimbra::AddConstantToHistory(items, HistoryBytes(shown))) {
        AddHistoryItems(box, {items.back()});
        box->setEditText(shown);  // the field keeps what the user typed
    }
}

void TCalcForm::Timer1Timer()
{
    ReportFailedBrowsers(system_, dialogs_);
    const double now = timeOfDay_();
    // A question or another modal window open during a run holds the run until it closes.
    if (state_.Run.Running) state_.Pauses.Tick(now, QApplication::activeModalWidget() != nullptr);
    const TimerTexts texts =
        TimerTick(state_.Run, state_.StatusCode, state_.Params.Height, now, state_.Pauses.Waited());
    StBar->showMessage(Text(texts.StatusLine));
    NormTime->setText(Text(texts.NormTime));
    NormTime->adjustSize();
    CalcTime->setText(Text(texts.CalcTime));
    CalcTime->adjustSize();
}

void TCalcForm::SetRGBClick()
{
    ModePic->PaintColumns(SpectrumColumns(ColorModel::Rgb, ModePictureWidth));
    IterationEdit->setText(QString::fromLatin1(RgbCmyIterationText));
}

void TCalcForm::SetCMYClick()
{
    ModePic->PaintColumns(SpectrumColumns(ColorModel::Cmy, ModePictureWidth));
    IterationEdit->setText(QString::fromLatin1(RgbCmyIterationText));
}

void TCalcForm::SetGradClick()
{
    IterationEdit->setText(QString::fromLatin1(GradIterationText));
    DrawGradientStrip();
}

void TCalcForm::DrawGradientStrip() { ModePic->PaintColumns(GradientStripColumns(palette_, ModePictureWidth)); }

void TCalcForm::SelectFormula(FormulaKind kind)
{
    StoreFormula(state_.Params, static_cast<std::uint8_t>(kind));
    FormelName->setText(Text(FormulaOf(kind).DisplayName));
    formulaCommands_[static_cast<std::size_t>(kind)]->setChecked(true);  // the group unchecks the others
    const bool julia = kind == FormulaKind::Julia;
    c0->setVisible(julia);
    r0->setVisible(julia);
    i0->setVisible(julia);
}

void TCalcForm::ResetInputs()
{
    ParamFields fields = GatherFields();
    EnterResetTexts(fields, DecimalSeparator());
    ShowRegionStep(fields);
    state_.ConfigFileName.clear();
    setWindowTitle(QStringLiteral("Nimbra"));
    SelectFormula(FormulaKind::Mandelbrot);
}

// Mandelbrot1Click, InvMandel1Click, Julia1Click, Dragon1Click, Daisy1Click, Burning_Ship_Click.
void TCalcForm::FormulaCommand(FormulaKind kind)
{
    if (dialogs_.AskYesNoWithoutIcon(AskResetText, AskResetCaption)) {
        if (!FormulaOf(kind).OwnDefaults) {
            ResetInputs();
        } else {
            ParamFields fields = GatherFields();
            EnterFormulaDefaults(kind, fields, DecimalSeparator());
            ShowRegionStep(fields);
        }
    }
    SelectFormula(kind);
}

void TCalcForm::MakeButtonClick()
{
    // Once the window has closed, a handler still on the call chain (the preview's resize)
    // may ask; no run starts then.
    if (preview_ == nullptr || !state_.MayStartRun()) return;
    Guarded(dialogs_, [&] {
        // The worker threads compute the counts; this thread colours, draws and writes them as
        // they come and pumps meanwhile, so the formula menu may change the formula mid-run.
        RunContext context{.Params = state_.Params,
                           .State = state_.Run,
                           .Palette = palette_,
                           .Preview = *preview_,
                           .Display = *this,
                           .Dialogs = dialogs_,
                           .System = system_,
                           .Pump = pump_,
                           .StartFolder = state_.StartFolder,
                           .LastImagePath = state_.LastImagePath,
                           .DecimalSeparator = DecimalSeparator(),
                           .WorkerThreads = state_.WorkerThreads,
                           .TimeOfDay = timeOfDay_};
        RunCalculation(GatherFields(), context);
    });
    if (state_.CloseIsDue()) close();
}

ParamFields TCalcForm::GatherFields() const
{
    ParamFields fields;
    fields.Width = Bytes(WidthEdit->text());
    fields.Height = Bytes(HeightEdit->text());
    fields.Iterations = Bytes(IterationEdit->text());
    fields.RealFrom = Bytes(RealFEdit->text());
    fields.RealTo = Bytes(RealTEdit->text());
    fields.ImagFrom = Bytes(ImagFEdit->text());
    fields.ImagTo = Bytes(ImagTEdit->text());
    fields.JuliaReal = Bytes(r0->currentText());
    fields.JuliaImag = Bytes(i0->currentText());
    fields.Model = SetRGB->isChecked()    ? ColorModel::Rgb
                   : SetCMY->isChecked()  ? ColorModel::Cmy
                   : SetGrad->isChecked() ? ColorModel::Grad
                                          : ColorModel::Unknown;  // a loaded file of no known model
    fields.Inverted = SetInvers->isChecked();
    fields.Preview = SetTestMode->isChecked();
    return fields;
}

void TCalcForm::ShowFieldTexts(const ParamFields& fields)
{
    const RegionTexts before = RegionOf(GatherFields());
    PutFieldTexts(fields);
    state_.Regions.Rewritten(before, RegionOf(fields));
}

void TCalcForm::PutFieldTexts(const ParamFields& fields)
{
    SetFieldText(WidthEdit, fields.Width);
    SetFieldText(HeightEdit, fields.Height);
    SetFieldText(IterationEdit, fields.Iterations);
    SetFieldText(RealFEdit, fields.RealFrom);
    SetFieldText(RealTEdit, fields.RealTo);
    SetFieldText(ImagFEdit, fields.ImagFrom);
    SetFieldText(ImagTEdit, fields.ImagTo);
    SetFieldText(r0->lineEdit(), fields.JuliaReal);
    SetFieldText(i0->lineEdit(), fields.JuliaImag);
}

void TCalcForm::ShowRunning(bool running)
{
    MakeButton->setText(running ? QStringLiteral("&Stop !") : QStringLiteral("&Berechnen"));
    if (running) {
        ShowBtn->setEnabled(false);
        state_.RunStarted();
    } else {
        state_.RunEnded();
    }
    // The status line and the times change with the button, not up to a second later.
    Timer1Timer();
}

void TCalcForm::EnableShowButton() { ShowBtn->setEnabled(true); }

char TCalcForm::DecimalSeparator() const
{
    // The fields accept only "." and ","; any other separator of the locale is written as ".".
    const QString point = QLocale().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

}  // namespace nimbra
