// List-view operations on the dialog model: columns, rows and their cells, the
// selected and focused rows, scrolling.
#include "ui/list_view.h"

#include <algorithm>

#include "ui/backend.h"
#include "ui/dialog_model.h"
#include "ui/user_input.h"

namespace ui {

static Control* List(Dialog* dialog, int id, const char* operation) {
  Control* c = LookupControl(dialog, id, operation);
  if (c && c->kind != kListView) {
    ReportProblem(std::string(operation) + ": control " + std::to_string(id) + " of " +
                  dialog->source->name + " is not a list view");
    return nullptr;
  }
  return c;
}

static bool ValidRow(const Control* list, int row) {
  return row >= 0 && size_t(row) < list->rows.size();
}

// Keeps the top row where the rows below it fill the page, as a real list scrolls
// back when rows go away.
static void ClampTopRow(Control* list) {
  int last = std::max(0, int(list->rows.size()) - input::RowsPerPage(*list));
  list->topRow = std::clamp(list->topRow, 0, last);
}

int ListViewInsertColumn(Dialog* dialog, int id, int column, const char* header, int width,
                         ColumnAlign align) {
  Control* list = List(dialog, id, "ListViewInsertColumn");
  if (!list || column < 0) return -1;
  size_t at = std::min(size_t(column), list->columns.size());
  list->columns.insert(list->columns.begin() + long(at),
                       ListColumn{header ? header : "", width, align});
  // Existing rows get an empty cell in the new column; their other cells keep
  // their columns.
  for (ListRow& row : list->rows) {
    if (at < row.cells.size()) row.cells.insert(row.cells.begin() + long(at), std::string());
  }
  Changed(dialog, list, Change::kColumns);
  return int(at);
}

bool ListViewDeleteColumn(Dialog* dialog, int id, int column) {
  Control* list = List(dialog, id, "ListViewDeleteColumn");
  if (!list || column < 0 || size_t(column) >= list->columns.size()) return false;
  list->columns.erase(list->columns.begin() + column);
  for (ListRow& row : list->rows) {
    if (size_t(column) < row.cells.size()) row.cells.erase(row.cells.begin() + column);
  }
  Changed(dialog, list, Change::kColumns);
  return true;
}

int ListViewColumnCount(Dialog* dialog, int id) {
  Control* list = List(dialog, id, "ListViewColumnCount");
  return list ? int(list->columns.size()) : 0;
}

int ListViewInsertRow(Dialog* dialog, int id, int row, const char* firstCell, void* data) {
  Control* list = List(dialog, id, "ListViewInsertRow");
  if (!list) return -1;
  int count = int(list->rows.size());
  int at = (row < 0 || row > count) ? count : row;
  list->rows.insert(list->rows.begin() + at, ListRow{{firstCell ? firstCell : ""}, data});
  if (list->selectedRow >= at) ++list->selectedRow;
  if (list->focusedRow >= at) ++list->focusedRow;
  Changed(dialog, list, Change::kRowInserted, at);
  return at;
}

bool ListViewSetCell(Dialog* dialog, int id, int row, int column, const char* text) {
  Control* list = List(dialog, id, "ListViewSetCell");
  if (!list || !ValidRow(list, row) || column < 0) return false;
  if (column > 0 && size_t(column) >= list->columns.size()) return false;
  std::vector<std::string>& cells = list->rows[size_t(row)].cells;
  if (cells.size() <= size_t(column)) cells.resize(size_t(column) + 1);
  cells[size_t(column)] = text ? text : "";
  Changed(dialog, list, Change::kCell, row, column);
  return true;
}

std::string ListViewGetCell(Dialog* dialog, int id, int row, int column) {
  Control* list = List(dialog, id, "ListViewGetCell");
  if (!list || !ValidRow(list, row) || column < 0) return std::string();
  const std::vector<std::string>& cells = list->rows[size_t(row)].cells;
  return size_t(column) < cells.size() ? cells[size_t(column)] : std::string();
}

void* ListViewRowData(Dialog* dialog, int id, int row) {
  Control* list = List(dialog, id, "ListViewRowData");
  if (!list || !ValidRow(list, row)) return nullptr;
  return list->rows[size_t(row)].data;
}

int ListViewRowCount(Dialog* dialog, int id) {
  Control* list = List(dialog, id, "ListViewRowCount");
  return list ? int(list->rows.size()) : 0;
}

// A row index after row `gone` was removed.
static int AfterRemoval(int index, int gone) {
  if (index == gone) return -1;
  return index > gone ? index - 1 : index;
}

bool ListViewDeleteRow(Dialog* dialog, int id, int row) {
  Control* list = List(dialog, id, "ListViewDeleteRow");
  if (!list || !ValidRow(list, row)) return false;
  list->rows.erase(list->rows.begin() + row);
  list->selectedRow = AfterRemoval(list->selectedRow, row);
  list->focusedRow = AfterRemoval(list->focusedRow, row);
  ClampTopRow(list);
  Changed(dialog, list, Change::kRowDeleted, row);
  return true;
}

bool ListViewDeleteAllRows(Dialog* dialog, int id) {
  Control* list = List(dialog, id, "ListViewDeleteAllRows");
  if (!list) return false;
  list->rows.clear();
  list->selectedRow = list->focusedRow = -1;
  list->topRow = 0;
  Changed(dialog, list, Change::kAllRowsDeleted);
  return true;
}

int ListViewSelectedRow(Dialog* dialog, int id) {
  Control* list = List(dialog, id, "ListViewSelectedRow");
  return list ? list->selectedRow : -1;
}

int ListViewFocusedRow(Dialog* dialog, int id) {
  Control* list = List(dialog, id, "ListViewFocusedRow");
  return list ? list->focusedRow : -1;
}

bool ListViewSetSelectedRow(Dialog* dialog, int id, int row) {
  Control* list = List(dialog, id, "ListViewSetSelectedRow");
  if (!list || (row != -1 && !ValidRow(list, row))) return false;
  list->selectedRow = row;
  Changed(dialog, list, Change::kRowSelection);
  return true;
}

bool ListViewSetFocusedRow(Dialog* dialog, int id, int row) {
  Control* list = List(dialog, id, "ListViewSetFocusedRow");
  if (!list || (row != -1 && !ValidRow(list, row))) return false;
  list->focusedRow = row;
  Changed(dialog, list, Change::kRowSelection);
  return true;
}

bool ListViewEnsureVisible(Dialog* dialog, int id, int row, bool partialOk) {
  Control* list = List(dialog, id, "ListViewEnsureVisible");
  if (!list || !ValidRow(list, row)) return false;
  int page = input::RowsPerPage(*list);
  // A partly shown row below the page counts as visible when partialOk.
  int shown = page + (partialOk ? 1 : 0);
  if (row < list->topRow) {
    list->topRow = row;
  } else if (row >= list->topRow + shown) {
    list->topRow = row - page + 1;
  }
  ClampTopRow(list);
  Changed(dialog, list, Change::kScroll, row);
  return true;
}

int ListViewTopRow(Dialog* dialog, int id) {
  Control* list = List(dialog, id, "ListViewTopRow");
  return list ? list->topRow : 0;
}

}  // namespace ui
