#pragma once

// Asks the table library's standard delete question (OK and Cancel); true when confirmed.
// For record navigators that confirm deletes themselves.
bool ConfirmRecordDelete();
