#include "data/deleteconfirm.h"

#include "lang/messagebox.h"
#include "lang/texts.h"

bool ConfirmRecordDelete() {
    return AppMessageBox(TableTexts().deleteRecordQuestion, mtConfirmation, mbOK | mbCancel) ==
           mrOK;
}
