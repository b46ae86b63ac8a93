// The main window's configuration commands: the two file dialogs and the setup they save and load.
#include "mainwindow/ui/calc_form.h"

#include "files/config_file.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace nimbra {
namespace {

FileRequest ConfigRequest(FileRequest::Kind kind, const char* title, const std::string& fileName)
{
    FileRequest request;
    request.DialogKind = kind;
    request.Title = title;
    request.Filter = "Konfigurationsdateien|*.cfg";
    request.DefaultExtension = "cfg";
    request.InitialFolder = "cfg";
    request.FileName = fileName;
    request.AskBeforeReplacing = false;
    return request;
}

}  // namespace

void TCalcForm::CFGLoadClick()
{
    const std::optional<std::string> chosen =
        dialogs_.ChooseFile(ConfigRequest(FileRequest::Kind::Open, "Konfiguration laden", state_.ConfigOpenName));
    if (!chosen) return;
    state_.ConfigOpenName = *chosen;
    LoadConfiguration(*chosen);
}

void TCalcForm::CFGSaveClick()
{
    if (!state_.ConfigFileName.empty()) state_.ConfigSaveName = state_.ConfigFileName;
    const std::optional<std::string> chosen =
        dialogs_.ChooseFile(ConfigRequest(FileRequest::Kind::Save, "Konfiguration sichern", state_.ConfigSaveName));
    if (!chosen) return;
    state_.ConfigSaveName = *chosen;
    SaveConfiguration(*chosen);
}

void TCalcForm::SaveConfiguration(const std::string& fileName)
{
    ParamFields fields = GatherFields();
    // Read into a set of its own: a run under way keeps computing with the parameters it
    // started with, on this thread and on the workers.
    FractalParams saved = state_.Params;
    ReadAndShowParams(fields, saved, *preview_, *this, DecimalSeparator());
    WriteConfigurationFile(fileName, BuildConfigRecord(saved), palette_, dialogs_);
}

void TCalcForm::LoadConfiguration(const std::string& fileName)
{
    const std::uint64_t gradientBefore = palette_.Version();
    // A gradient cut short is kept as far as it was read, like the record before it.
    const std::optional<ConfigRecord> record = ReadConfigurationFile(fileName, palette_, dialogs_).Record;
    if (!record) return;
    const bool gradientLoaded = palette_.Version() != gradientBefore;
    state_.ConfigFileName = fileName;
    setWindowTitle(QString::fromStdString(ConfigCaption(fileName)));
    const ParamFields fields = ConfigFieldTexts(*record, DecimalSeparator());
    ShowConfigModel(SetRGB, fields.Model == ColorModel::Rgb);
    ShowConfigModel(SetCMY, fields.Model == ColorModel::Cmy);
    ShowConfigModel(SetGrad, fields.Model == ColorModel::Grad);
    SetInvers->setChecked(fields.Inverted);
    SetTestMode->setChecked(fields.Preview);
    ShowRegionStep(fields);
    if (const std::optional<FormulaKind> known = KnownFormula(record->Formula))
        SelectFormula(*known);
    else
        StoreFormula(state_.Params, record->Formula);
    PutCursorInto(WidthEdit);
    if (gradientLoaded) DrawGradientStrip();
}

// A button that becomes checked runs its click handler. A file of no known model unchecks all
// three, which the exclusive group alone would not allow.
void TCalcForm::ShowConfigModel(QRadioButton* button, bool checked)
{
    if (checked || !button->isChecked()) {
        button->setChecked(checked);
        return;
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

}  // namespace nimbra
