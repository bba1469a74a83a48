// List views in report view, operated by the dialog's procedure through the list's
// control id: columns with header, width and alignment; rows of cell texts carrying
// one pointer of row data; the selected row and the focused row; scrolling.
//
// The selected row and the focused row are distinct, as on the original platform:
// a click selects and focuses a row, the keyboard (Ctrl+arrows) moves the focus
// without selecting, a click below the last row clears the selection and keeps the
// focus, deleting all rows clears both. Commands act on the selected row;
// double-clicks act on the focused row.
#pragma once

#include <string>

#include "ui/dialog.h"

namespace ui {

enum ColumnAlign { kAlignLeft, kAlignCentre, kAlignRight };

// Inserts a column before `column` (at the end when beyond the last). Returns the
// index it got, -1 when it could not be inserted. Widths are in pixels.
int ListViewInsertColumn(Dialog* dialog, int id, int column, const char* header, int width,
                         ColumnAlign align);
bool ListViewDeleteColumn(Dialog* dialog, int id, int column);
int ListViewColumnCount(Dialog* dialog, int id);

// Inserts a row before `row` (appends when beyond the last) with its first cell and
// its data; the other cells start empty. Returns the row's index, -1 on failure.
int ListViewInsertRow(Dialog* dialog, int id, int row, const char* firstCell, void* data);
bool ListViewSetCell(Dialog* dialog, int id, int row, int column, const char* text);
std::string ListViewGetCell(Dialog* dialog, int id, int row, int column);
void* ListViewRowData(Dialog* dialog, int id, int row);  // nullptr for a bad row
int ListViewRowCount(Dialog* dialog, int id);
bool ListViewDeleteRow(Dialog* dialog, int id, int row);
bool ListViewDeleteAllRows(Dialog* dialog, int id);

int ListViewSelectedRow(Dialog* dialog, int id);               // -1 when none
int ListViewFocusedRow(Dialog* dialog, int id);                // -1 when none
bool ListViewSetSelectedRow(Dialog* dialog, int id, int row);  // -1 clears
bool ListViewSetFocusedRow(Dialog* dialog, int id, int row);   // -1 clears

// Scrolls until the row is entirely visible (or at least partly with partialOk).
bool ListViewEnsureVisible(Dialog* dialog, int id, int row, bool partialOk = false);
int ListViewTopRow(Dialog* dialog, int id);

}  // namespace ui
