// Class registration and pictures for reading form descriptions.
#include "FuzzForm.h"

#include <filesystem>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/gui/ActnList.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/ImgList.h"
#include "platform/gui/ListViews.h"
#include "platform/gui/Mask.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PngImage.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TreeViews.h"

namespace tarnello::fuzz {

void RegisterFuzzFormClasses()
{
    RegisterClasses<TFuzzForm, TForm, TScrollBox, TPanel, TBevel, TImage, TPaintBox, TShape, TTimer, TMainMenu,
                    TPopupMenu, TMenuItem, TActionList, TAction, TImageList>();
    RegisterStdCtrlsClasses();
    RegisterMaskClasses();
    RegisterComCtrlsClasses();
    RegisterTreeViewsClasses();
    RegisterListViewsClasses();
}

void MakeFormPictures(const std::string& Folder)
{
    std::filesystem::create_directories(Folder + "/icons");
    TBitmap bmp;
    bmp.SetSize(16, 8);
    bmp.Canvas()->Brush()->SetColor(clGreen);
    bmp.Canvas()->FillRect(TRect(0, 0, 16, 8));
    bmp.SaveToFile(Folder + "/picture.bmp");
    TPngImage png;
    png.Assign(&bmp);
    png.SaveToFile(Folder + "/picture.png");
    png.SaveToFile(Folder + "/icons/strip.png");
    SetFormPictureFolder(Folder);
}

}  // namespace tarnello::fuzz
