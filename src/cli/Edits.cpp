#include "cli/Edits.h"

#include "analysis/PartValues.h"
#include "analysis/Recalculate.h"
#include "cli/ClosestNames.h"
#include "cli/Design.h"
#include "cli/Failure.h"
#include "model/Utf.h"

namespace qxr::cli {

namespace {

// Looked up in the design itself: a file can rename a symbol.
CSymbol& SymbolNamed(CDesignModel& model, const std::string& name)
{
    if (CSymbol* symbol = model.FindByName(FromUtf8(name)))
        return *symbol;
    throw Failure(kUsageError, "unknown symbol \"" + name + "\"" + DidYouMean(ClosestNames(name, SymbolNames(model))));
}

struct EditApplier {
    Design& design;

    void operator()(const ModeEdit& edit) const { design.model.ad.SetUser(edit.mode); }
    void operator()(const SetEdit& edit) const
    {
        CSymbol& symbol = SymbolNamed(design.model, edit.name);
        symbol.SetUser(edit.shownValue * symbol.scale);
    }
    void operator()(const RevertEdit& edit) const { SymbolNamed(design.model, edit.name).RevertToCalc(); }
    void operator()(const DescriptionEdit& edit) const { design.description = FromUtf8(edit.utf8); }
    void operator()(const StandardValuesEdit&) const
    {
        qxr::Recalculate(design.model);
        EnterStandardValues(PartValuesOf(design.model));
    }
};

}  // namespace

void ApplyEdits(const std::vector<Edit>& edits, Design& design)
{
    for (const Edit& edit : edits)
        std::visit(EditApplier{design}, edit);
}

}  // namespace qxr::cli
