#include "engine/formula_defaults.h"

#include "common/number_text.h"
#include "engine/formula_table.h"

namespace nimbra {

void EnterResetTexts(ParamFields& fields, char decimalSeparator)
{
    fields.Width = std::to_string(DefaultView::Width);
    fields.Height = std::to_string(DefaultView::Height);
    fields.RealFrom = FormatGeneral(DefaultView::RealFrom, decimalSeparator);
    fields.RealTo = FormatGeneral(DefaultView::RealTo, decimalSeparator);
    fields.ImagFrom = FormatGeneral(DefaultView::ImagFrom, decimalSeparator);
    fields.ImagTo = FormatGeneral(DefaultView::ImagTo, decimalSeparator);
    fields.Iterations = std::to_string(DefaultView::MaxIterations);
}

void EnterFormulaDefaults(FormulaKind kind, ParamFields& fields, char decimalSeparator)
{
    const std::optional<OwnFormulaDefaults>& own = FormulaOf(kind).OwnDefaults;
    if (!own) {
        EnterResetTexts(fields, decimalSeparator);
        return;
    }
    fields.RealFrom = own->RealFrom;
    fields.RealTo = own->RealTo;
    fields.ImagFrom = own->ImagFrom;
    fields.ImagTo = own->ImagTo;
    if (own->Iterations != nullptr) fields.Iterations = own->Iterations;
}

}  // namespace nimbra
