#include "data/deleteconfirm.h"

#include "seam/messagebox.h"
#include "lang/texts.h"

bool ConfirmRecordDelete() {
    return AppMessageBox(TableTexts().deleteRecordQuestion, mtConfirmation, mbYes | mbNo) ==
           mrYes;
}
