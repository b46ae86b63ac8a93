#pragma once
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/time_of_day.h"
#include "common/user_dialogs.h"
#include "convert/convert_file.h"
#include "engine/formula_table.h"
#include "engine/read_params.h"
#include "engine/run_calculation.h"
#include "mainwindow/preview_link.h"
#include "mainwindow/program_state.h"
#include "mainwindow/region_edit.h"
#include "palette/palette_list.h"

#include <QList>
#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;
class QToolButton;

namespace nimbra {

class ModePicture;

// The main window: the inputs of the next image, the run, the menu and the progress display.
// Its state is the ProgramState it is lent. The other windows answer its signals; it and the
// preview meet through OwnedPreview and PreviewOwner; both are connected where the windows are
// composed. Its controls carry their names as object names.
class TCalcForm final : public QMainWindow, public RunDisplay, public PreviewOwner {
    Q_OBJECT

public:
    TCalcForm(ProgramState& state, PaletteList& palette, UserDialogs& dialogs, Platform& system, PumpHook& pump,
              std::function<double()> timeOfDay = CurrentTimeOfDay);
    ~TCalcForm() override;

    // The preview is created after this window; runs need it from then on.
    void UsePreview(OwnedPreview& preview) { preview_ = &preview; }

    // The menu's commands the palette editor offers while it is open, as it blocks the menu:
    // all but opening the editor itself and ending the program (Alt+F4 closes the editor).
    QList<QAction*> CommandsForPaletteEditor() const;

    void Timer1Timer();
    ParamFields GatherFields() const;
    // The resolution window's answer to ImageSizeRequested.
    void ShowImageSize(const QString& width, const QString& height);

    void ShowFieldTexts(const ParamFields& fields) override;
    void ShowRunning(bool running) override;
    void EnableShowButton() override;

    void PreviewClosing() override;
    void SelectionReleased(const SelectionCorners& corners) override;
    void SelectionKeptForFile(const SelectionCorners& corners) override;
    void PreviewResized() override;

signals:
    void Closed();  // the main window has closed: the program ends
    // The menu commands the other windows carry out. The modal ones return when their window
    // has closed.
    void ImageSizeRequested();      // answered through ShowImageSize
    void ViewerProgramRequested();  // the preferences change the state's viewer program
    void PaletteEditorRequested();  // the picture is redrawn from the gradient afterwards
    void ConversionRequested(ConversionKind kind);
    void HelpContentsRequested();
    void AboutBoxRequested();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void BuildMenu();
    void NameControls();
    void ConnectHandlers();
    void ConnectMenuCommands();
    void ConnectCommand(QAction* command, std::function<void()> handler);  // the handler guarded
    void FormCreate();
    bool FormCloseQuery();
    void FormClose();
    void FormResize();
    // Starts a run from the fields, or stops the active one.
    void MakeButtonClick();
    void SetRGBClick();
    void SetCMYClick();
    void SetGradClick();
    void DrawGradientStrip();
    void SelectFormula(FormulaKind kind);
    void ResetInputs();
    void FormulaCommand(FormulaKind kind);
    void RegionButtonClick(RegionButton button);
    void ViewBackClick();
    void ViewForwardClick();
    // Shows fields whose region a command set: a step of the region history.
    void ShowRegionStep(const ParamFields& fields);
    // Puts a region of the history back, and runs it where a zoom button would.
    void RestoreRegion(const std::optional<RegionTexts>& region);
    void EnableViewCommands();
    // The buttons' runs (and the way back's) start only once the preview has been shown.
    void RunOnceThePreviewWasShown();
    void PutFieldTexts(const ParamFields& fields);
    // The rubber band of the preview mapped onto the region of the most recent run.
    void WriteSelection(const SelectionCorners& corners);
    void FieldEnter(QWidget* field, Status status, bool byUser);
    void FieldExit(QWidget* field);
    // The program moves the cursor, with the field change that means (not by the user).
    void PutCursorInto(QWidget* field);
    void AddConstantToHistory(QComboBox* box);
    void ShowBtnClick();
    void CFGLoadClick();
    void CFGSaveClick();
    // The fields as a run would read them, saved with the gradient where the model needs it.
    // A refused field is shown and nothing is written.
    void SaveConfiguration(const std::string& fileName);
    // Puts a configuration file's setup into the controls; a file that cannot be read changes nothing.
    void LoadConfiguration(const std::string& fileName);
    void ShowConfigModel(QRadioButton* button, bool checked);
    void Auflsungermitteln1Click();
    void Farbpalettegenerieren1Click();
    char DecimalSeparator() const;

    ProgramState& state_;
    PaletteList& palette_;
    UserDialogs& dialogs_;
    Platform& system_;
    PumpHook& pump_;
    std::function<double()> timeOfDay_;
    OwnedPreview* preview_ = nullptr;
    QActionGroup* formulaGroup_ = nullptr;
    std::vector<std::pair<QWidget*, Status>> fieldStatusCodes_;  // the status code each field sets

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* WidthEdit = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* HeightEdit = nullptr;
    QLabel* Label4 = nullptr;
    QRadioButton* SetRGB = nullptr;
    QRadioButton* SetCMY = nullptr;
    QRadioButton* SetGrad = nullptr;
    ModePicture* ModePic = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* RealFEdit = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* RealTEdit = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* ImagFEdit = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* ImagTEdit = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* IterationEdit = nullptr;
    QCheckBox* SetInvers = nullptr;
    QLabel* c0 = nullptr;
    QComboBox* r0 = nullptr;
    QComboBox* i0 = nullptr;
    QLabel* FormelName = nullptr;
    QGroupBox* ZSG = nullptr;
    QToolButton* SCU = nullptr;
    QToolButton* SCL = nullptr;
    QToolButton* SCR = nullptr;
    QToolButton* SCD = nullptr;
    QToolButton* ZOI = nullptr;
    QToolButton* ZOO = nullptr;
    QCheckBox* SetTestMode = nullptr;
    QPushButton* MakeButton = nullptr;
    QPushButton* ShowBtn = nullptr;
    QLabel* NormTime = nullptr;
    QLabel* CalcTime = nullptr;
    QStatusBar* StBar = nullptr;
    QTimer* Timer1 = nullptr;

    QAction* CFGLoad = nullptr;
    QAction* CFGSave = nullptr;
    QMenu* Formeln1 = nullptr;
    // Mandelbrot1, InvMandel1, Julia1, Dragon1, Daisy1, BurnShip1: the formula table's commands.
    std::array<QAction*, FormulaCount> formulaCommands_{};
    QAction* Auflsungermitteln1 = nullptr;
    QAction* ViewBack = nullptr;     // "Ansicht zurück"
    QAction* ViewForward = nullptr;  // "Ansicht vor"
    QMenu* Extras1 = nullptr;
    QAction* PrgSet = nullptr;
    QAction* Rcksetzen1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* Farbpalettegenerieren1 = nullptr;
    QMenu* Farbraumkkonvertierung1 = nullptr;
    QAction* RGBCMY1 = nullptr;
    QAction* RGBGRAD1 = nullptr;
    QAction* CMYRGB1 = nullptr;
    QAction* CMYGRAD1 = nullptr;
    QAction* GRADRGB1 = nullptr;
    QAction* GRADCMY1 = nullptr;
    QAction* Inhalt1 = nullptr;
    QAction* OnlineManual1 = nullptr;
    QAction* Updatesuchen1 = nullptr;
    QAction* ber1 = nullptr;
};

}  // namespace nimbra
