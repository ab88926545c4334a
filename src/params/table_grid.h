// TbSQL: the logic of a row-and-column grid over an SQL table (or FROM text)
// in the order of a composite key, without ever holding the whole table. The
// rows shown are kept in a block ordered by nRegBrowse and mirrored in a local
// table "P" + 7 digits in the local-table directory; further rows are fetched
// twenty at a time from the key of the last (or first) row held (keyset
// paging). A view draws RowCount() rows with CellText, follows current() and
// top(), and forwards keys as GridKey actions; nothing here knows the toolkit.
// The session and the row source must outlive the grid; destroying the grid
// runs End, so its local tables never outlive it.
#pragma once

#include <string>
#include <vector>

#include "db/local_tables.h"
#include "db/session.h"
#include "params/row_source.h"

namespace params {

// The grid's definition, in the caller's order.
struct GridDefinition {
  std::string table;                      // table name or FROM text
  std::vector<std::string> select;        // column expressions
  std::vector<std::string> key;           // key columns, qualified "TABLE.COLUMN"
  db::FieldList extraFields;              // extra local fields
  bool marking = false;                   // row-range marking (not built)
  std::vector<std::string> shownColumns;  // local field names
  std::vector<std::string> headers;
  std::vector<int> widths;                // pixels
  std::vector<bool> rightJustify;
  std::string title;
};

// Keys the grid acts on; kOther goes to the caller's bKeyDown.
enum class GridKey { kUp, kDown, kLeft, kRight, kHome, kEnd, kCtrlPgUp, kCtrlPgDn,
                     kPgUp, kPgDn, kF3, kOther };

// What the in-place editor of a cell starts from.
struct CellEdit {
  db::Value value;         // the current value
  bool logical = false;    // edit with the choice ".T." / ".F."
  int maxChars = 0;        // a text entry takes at most this many characters
};

// Outcome of writing an edited cell.
enum class EditResult { kWritten, kEmpty, kFailed };

inline constexpr const char* kNoOtherFilters =
    "No existen otros filtros aplicados a la vista actual";

class TbSQL {
 public:
  TbSQL(db::Session& session, RowSource& source);
  ~TbSQL();
  TbSQL(const TbSQL&) = delete;
  TbSQL& operator=(const TbSQL&) = delete;

  // Takes the definition, describes the columns, makes the local row table and
  // loads the first rows. False when the columns could not be described.
  bool Redefine(const GridDefinition& definition, const std::string& condition = " 2=2 ",
                bool noLock = true, bool distinct = false);

  // Movements; Skip returns the rows actually moved.
  void GoTop();
  void GoBottom();
  int Skip(int n);
  // A key: true when the grid handled it, false when it goes to bKeyDown.
  bool KeyDown(GridKey key);
  // F3: drops the last condition added and reloads the first rows.
  void DropFilter();
  // Adds " AND " + condition to the condition stack and reloads the first rows.
  void AddFilter(const std::string& condition);
  // Deletes the local tables; the grid is then empty and disabled.
  void End();

  // The block of rows held, in key order; each row has the fields of aStruct.
  size_t RowCount() const { return rows_.size(); }
  const GridValues& Row(size_t index) const { return rows_[index]; }
  // The current row (index into the block) and the first row on screen.
  size_t current() const { return current_; }
  size_t top() const { return top_; }
  void set_rows_per_screen(int n) { rowsPerScreen_ = n > 0 ? n : 1; }
  int rows_per_screen() const { return rowsPerScreen_; }

  // Shown columns: count, header, width, justification and a cell as text.
  size_t ColumnCount() const { return definition_.shownColumns.size(); }
  const GridDefinition& definition() const { return definition_; }
  std::string CellText(size_t row, size_t column) const;  // column 1-based
  // The value of the field named `name` in row `row`, or none.
  db::Value Field(size_t row, const std::string& name) const;
  // Stores a value in a held row and in its local record.
  bool SetField(size_t row, const std::string& name, const db::Value& value);

  // nColAct: the current shown column, 1-based.
  int nColAct = 1;
  // Header highlight while the grid holds the focus (TOMAFOCO / DEJAFOCO).
  bool headerFocused = false;
  bool lCellStyle = false;
  bool enabled = true;

  // lEditCol, toolkit side: what the editor of shown column `column` starts from.
  CellEdit BeginEdit(int column) const;
  // The editor's accepted text as a value of the cell's kind (".T." true for a
  // logical; a text cut to maxChars characters).
  static db::Value EditedValue(const CellEdit& edit, const std::string& text);
  // Writes an edited value of the current row: UPDATE table SET column=value
  // WHERE keyColumn=<the row's keyColumn>. An empty text writes nothing; on
  // success the row holds the new value; on failure `errorText` has the
  // driver's text and the row keeps its value.
  EditResult WriteCell(const std::string& column, const db::Value& value,
                       const std::string& keyColumn, std::string* errorText = nullptr);

  // State under its own names, for the view and for tests.
  const std::string& cCursor() const { return cCursor_; }
  const std::string& cFiltroEXT() const { return cFiltroEXT_; }
  const std::string& cFiltroTMP() const { return cFiltroTMP_; }
  const std::vector<std::string>& aFiltros() const { return aFiltros_; }
  const std::vector<std::string>& aClaveI() const { return aClaveI_; }
  const std::vector<std::string>& aClaveF() const { return aClaveF_; }
  long nClaveI() const { return nClaveI_; }
  long nClaveF() const { return nClaveF_; }
  bool lHayDatos() const { return lHayDatos_; }
  bool lHitTop() const { return lHitTop_; }
  bool lHitBottom() const { return lHitBottom_; }
  const db::FieldList& aStruct() const { return aStruct_; }
  const db::SqlRow& TMaes() const { return TMaes_; }
  const std::string& cAlias() const { return cAlias_; }

 private:
  std::string Query(const std::string& condition, bool descending) const;
  std::vector<db::Value> KeyOf(const GridValues& row) const;
  std::vector<std::string> KeyLiterals(const GridValues& row) const;
  GridValues LocalRow(const GridValues& values, long number) const;
  void MirrorEmpty();
  void MirrorAppend(const GridValues& row);
  void LoadFirst();
  bool LoadBelow();
  bool LoadAbove();
  void LoadLast();
  void FitTop();
  std::string ChooseTableName() const;

  db::Session& session_;
  RowSource& source_;
  GridDefinition definition_;
  std::string cCursor_, cFiltroEXT_, cFiltroTMP_ = " 2=2 ";
  std::vector<std::string> aFiltros_;
  std::vector<int> aPosClave_;
  db::SqlRow TMaes_;
  db::FieldList aStruct_;
  std::vector<std::string> aClaveI_, aClaveF_;
  long nClaveI_ = 0, nClaveF_ = 0;
  bool lHayDatos_ = false, lDistinct_ = false;
  bool lHitTop_ = false, lHitBottom_ = false;
  std::string cAlias_;  // the local row table's name and alias; empty when none
  std::vector<GridValues> rows_;
  size_t current_ = 0, top_ = 0;
  int rowsPerScreen_ = 10;
};

// The header row highlighted (the grid has the focus) or back to normal.
void TOMAFOCO(TbSQL& grid);
void DEJAFOCO(TbSQL& grid);

// Text of a value as the grid shows it: text as held, numbers as trimmed
// decimal text, dates dd/mm/yyyy, logicals ".T." / ".F.".
std::string DisplayText(const db::Value& value);

// "P" + the hundredths of a second since midnight, zero-padded to 7 digits.
std::string LocalRowTableName(long hundredths);

}  // namespace params
