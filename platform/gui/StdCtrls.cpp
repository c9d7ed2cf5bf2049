#include "platform/gui/StdCtrls.h"

#include "platform/gui/Forms.h"
#include "platform/gui/Menus.h"
#include "platform/gui/PageControl.h"

namespace kv {

void RegisterStandardClasses() {
    for (const TClassInfo* c : {&TForm::StaticClassInfo(),
                                &TLabel::StaticClassInfo(),
                                &TImage::StaticClassInfo(),
                                &TShape::StaticClassInfo(),
                                &TPaintBox::StaticClassInfo(),
                                &TPanel::StaticClassInfo(),
                                &TGroupBox::StaticClassInfo(),
                                &TEdit::StaticClassInfo(),
                                &TMemo::StaticClassInfo(),
                                &TButton::StaticClassInfo(),
                                &TCheckBox::StaticClassInfo(),
                                &TRadioButton::StaticClassInfo(),
                                &TComboBox::StaticClassInfo(),
                                &TListBox::StaticClassInfo(),
                                &TValueListEditor::StaticClassInfo(),
                                &TUpDown::StaticClassInfo(),
                                &TStatusBar::StaticClassInfo(),
                                &TProgressBar::StaticClassInfo(),
                                &TScrollBox::StaticClassInfo(),
                                &TMainMenu::StaticClassInfo(),
                                &TPopupMenu::StaticClassInfo(),
                                &TMenuItem::StaticClassInfo(),
                                &TPageControl::StaticClassInfo(),
                                &TTabSheet::StaticClassInfo()})
        RegisterClass(*c);
}

} // namespace kv
