#include "ModuleEditors.h"

#include "DialogRunner.h"
#include "EditorContext.h"
#include "ModuleType.h"
#include "SharedState.h"
#include "frmBridging.h"
#include "frmCaption.h"
#include "frmConstant.h"
#include "frmLineUsage.h"
#include "frmTransparent.h"

namespace {
template <typename Dialog> void run(EditorContext &context, QWidget *parent)
{
    Dialog dialog(context, parent);
    context.dialogs.run(dialog);
}
} // namespace

bool RunModuleEditor(int streamType, EditorContext &context, QWidget *parent)
{
    switch (streamType) {
    case ModuleType::Transparent:
        run<frmTransparent>(context, parent);
        return true;
    case ModuleType::Constant:
        run<frmConstant>(context, parent);
        return true;
    case ModuleType::Bridging:
        run<frmBridging>(context, parent);
        return true;
    case ModuleType::Caption:
        run<frmCaption>(context, parent);
        return true;
    default:
        return false;
    }
}

void RunLineUsage(EditorContext &context, QWidget *parent)
{
    if (context.state.CurrentProgram == 0 || context.state.CurrentProgram == 1)
        run<frmLineUsage>(context, parent);
}
