#include "app/windows/EditorHooks.h"

#include "app/core/AppData.h"
#include "app/core/Translation.h"
#include "app/windows/ClipForm.h"
#include "app/windows/CropForm.h"
#include "app/windows/MainForm.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ExtCtrls.h"

namespace {

// The key holds quotes, so it stands here rather than inside the call.
constexpr const char* kCantEditAudio = "Can't edit audio formats. You can click \"Trim\" button.";

// The main preview lets go of the item before an editor opens it.
void StopMainPreview(TMainForm& Form)
{
    if (MainFormHooks().StopPreview)
        MainFormHooks().StopPreview(Form);
}

}  // namespace

void RegisterEditorClasses() { RegisterClasses<TPanel, TShape, TImage>(); }

bool EditorItemSelected(bool AVideoOnly)
{
    const int row = MainForm && MainForm->sgList ? MainForm->sgList->Row() : 0;
    const auto& files = App().MediaFiles;
    if (row < 1 || row > static_cast<int>(files.size()))
        return false;
    return !(AVideoOnly && files[static_cast<std::size_t>(row - 1)].isSourceAudioFormat);
}

void InstallEditorHooks()
{
    RegisterEditorClasses();
    MainFormHooks().Trim = [](TMainForm& Form) {
        if (!ClipForm || !EditorItemSelected(false))
            return;
        StopMainPreview(Form);
        ClipForm->ShowModal();
    };
    MainFormHooks().Edit = [](TMainForm& Form) {
        if (!CropForm || !EditorItemSelected(false))
            return;
        if (!EditorItemSelected(true)) {
            if (Form.SkinMessage)
                Form.SkinMessage->MessageDlg(TranslateText(kCantEditAudio),
                                             mtWarning, TMsgDlgButtons{mbOK}, 0);
            return;
        }
        StopMainPreview(Form);
        CropForm->ShowModal();
    };
}
