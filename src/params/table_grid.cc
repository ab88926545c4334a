#include "params/table_grid.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "config/text.h"
#include "db/literals.h"
#include "db/statement.h"
#include "params/page_queries.h"

namespace params {

namespace {

const char* const kRowNumberField = "nRegBrowse";

bool SameName(const std::string& a, const std::string& b) {
  return db::UpperName(config::Trim(a)) == db::UpperName(config::Trim(b));
}

db::Value BlankOf(const db::FieldSpec& field) {
  switch (field.kind) {
    case 'C': return db::Value::Text(std::string(std::max(field.width, 0), ' '));
    case 'N': return db::Value::Number(0);
    case 'D': return db::Value::EmptyDate();
    case 'L': return db::Value::Logical(false);
    default: return db::Value::Text("");
  }
}

long HundredthsSinceMidnight() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const long centis =
      static_cast<long>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000 / 10);
  return (local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec) * 100L + centis;
}

// Text cut to `count` UTF-8 characters.
std::string CutChars(const std::string& text, int count) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (static_cast<int>(chars) == count) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

}  // namespace

std::string LocalRowTableName(long hundredths) {
  char name[16];
  std::snprintf(name, sizeof(name), "P%07ld", hundredths % 10000000L);
  return name;
}

std::string DisplayText(const db::Value& value) {
  switch (value.kind()) {
    case db::Value::Kind::kText: return value.text();
    case db::Value::Kind::kNumber: return db::Literal(value);
    case db::Value::Kind::kDate: {
      const db::Date d = value.date();
      if (d.empty()) return "  /  /    ";
      char text[16];
      std::snprintf(text, sizeof(text), "%02d/%02d/%04d", d.day % 100, d.month % 100,
                    d.year % 10000);
      return text;
    }
    case db::Value::Kind::kLogical: return value.logical() ? ".T." : ".F.";
    case db::Value::Kind::kNone: break;
  }
  return "";
}

void TOMAFOCO(TbSQL& grid) { grid.headerFocused = true; }
void DEJAFOCO(TbSQL& grid) { grid.headerFocused = false; }

TbSQL::TbSQL(db::Session& session, RowSource& source) : session_(session), source_(source) {}

TbSQL::~TbSQL() { End(); }

bool TbSQL::Redefine(const GridDefinition& definition, const std::string& condition,
                     bool noLock, bool distinct) {
  End();
  definition_ = definition;
  enabled = true;
  lDistinct_ = distinct;
  cFiltroEXT_ = FromText(definition_.table, noLock);
  cFiltroTMP_ = condition;
  aFiltros_ = {condition};
  cCursor_ = config::Join(definition_.select, ",");

  TMaes_.clear();
  if (!source_.Describe(ProbeQuery(cCursor_, cFiltroEXT_, definition_.key), TMaes_)) {
    return false;
  }
  aStruct_.clear();
  db::ESTR(TMaes_, aStruct_);
  aStruct_.insert(aStruct_.end(), definition_.extraFields.begin(),
                  definition_.extraFields.end());
  aStruct_.push_back({kRowNumberField, 'N', 10, 0});

  aPosClave_.clear();
  for (const std::string& column : definition_.key) {
    const size_t dot = column.find('.');
    const std::string name = dot == std::string::npos ? column : column.substr(dot + 1);
    for (size_t i = 0; i < TMaes_.size(); ++i) {
      if (SameName(TMaes_[i].name, name)) {
        aPosClave_.push_back(static_cast<int>(i));
        break;
      }
    }
  }

  const std::string name = ChooseTableName();
  if (session_.locals.Create(name, aStruct_) && session_.locals.NET_USE(name)) cAlias_ = name;

  nClaveI_ = nClaveF_ = 0;
  LoadFirst();
  lHitTop_ = true;
  lHitBottom_ = false;
  return true;
}

std::string TbSQL::ChooseTableName() const {
  long t = HundredthsSinceMidnight();
  std::string name = LocalRowTableName(t);
  for (int tries = 0; tries < 1000; ++tries) {
    const bool stored =
        std::filesystem::exists(session_.locals.directory() / (name + ".sqlite"));
    if (!stored && session_.locals.Find(name) == nullptr) break;
    t = HundredthsSinceMidnight() + 5;
    if (LocalRowTableName(t) == name) t += 5 * (tries + 1);
    name = LocalRowTableName(t);
  }
  return name;
}

std::string TbSQL::Query(const std::string& condition, bool descending) const {
  return PageQuery(cCursor_, cFiltroEXT_, condition, definition_.key, descending, lDistinct_);
}

std::vector<db::Value> TbSQL::KeyOf(const GridValues& row) const {
  std::vector<db::Value> key;
  for (int pos : aPosClave_) key.push_back(row[pos]);
  return key;
}

std::vector<std::string> TbSQL::KeyLiterals(const GridValues& row) const {
  std::vector<std::string> literals;
  for (const db::Value& value : KeyOf(row)) literals.push_back(ValorCampo(value));
  return literals;
}

GridValues TbSQL::LocalRow(const GridValues& values, long number) const {
  GridValues row = values;
  row.resize(TMaes_.size());
  for (const db::FieldSpec& field : definition_.extraFields) row.push_back(BlankOf(field));
  row.push_back(db::Value::Number(static_cast<double>(number)));
  return row;
}

void TbSQL::MirrorEmpty() {
  if (cAlias_.empty()) return;
  session_.locals.Close(cAlias_);
  if (!session_.locals.Create(cAlias_, aStruct_) || !session_.locals.NET_USE(cAlias_)) {
    session_.locals.CIERRABORRA(cAlias_);
    cAlias_.clear();
  }
}

void TbSQL::MirrorAppend(const GridValues& row) {
  db::LocalTable* table = cAlias_.empty() ? nullptr : session_.locals.Find(cAlias_);
  if (table == nullptr) return;
  table->Append();
  for (size_t i = 0; i < row.size() && i < table->fields().size(); ++i) table->Set(i, row[i]);
}

void TbSQL::LoadFirst() {
  PageRequest request{Query(cFiltroTMP_, false), PageRequest::From::kStart, false, {}};
  std::vector<GridValues> page = source_.Page(request, TMaes_);
  lHayDatos_ = !page.empty();
  rows_.clear();
  MirrorEmpty();
  for (const GridValues& values : page) {
    rows_.push_back(LocalRow(values, ++nClaveF_));
    MirrorAppend(rows_.back());
  }
  if (!rows_.empty()) {
    aClaveI_ = KeyLiterals(rows_.front());
    nClaveI_ = nClaveF_ - static_cast<long>(rows_.size()) + 1;
    aClaveF_ = KeyLiterals(rows_.back());
  }
  current_ = top_ = 0;
}

bool TbSQL::LoadBelow() {
  if (rows_.empty()) return false;
  PageRequest request{Query(BeyondKey(definition_.key, ">", aClaveF_, cFiltroTMP_), false),
                      PageRequest::From::kAfter, false, KeyOf(rows_.back())};
  std::vector<GridValues> page = source_.Page(request, TMaes_);
  lHayDatos_ = !page.empty();
  for (const GridValues& values : page) {
    rows_.push_back(LocalRow(values, ++nClaveF_));
    MirrorAppend(rows_.back());
  }
  if (page.empty()) return false;
  aClaveF_ = KeyLiterals(rows_.back());
  return true;
}

bool TbSQL::LoadAbove() {
  if (rows_.empty()) return false;
  PageRequest request{Query(BeyondKey(definition_.key, "<", aClaveI_, cFiltroTMP_), true),
                      PageRequest::From::kBefore, true, KeyOf(rows_.front())};
  std::vector<GridValues> page = source_.Page(request, TMaes_);
  lHayDatos_ = !page.empty();
  if (page.empty()) return false;
  std::vector<GridValues> above;
  for (const GridValues& values : page) {  // nearest first
    above.push_back(LocalRow(values, --nClaveI_));
    MirrorAppend(above.back());
  }
  rows_.insert(rows_.begin(), above.rbegin(), above.rend());
  current_ += above.size();
  top_ += above.size();
  aClaveI_ = KeyLiterals(rows_.front());
  return true;
}

void TbSQL::LoadLast() {
  PageRequest request{Query(cFiltroTMP_, true), PageRequest::From::kStart, true, {}};
  std::vector<GridValues> page = source_.Page(request, TMaes_);
  lHayDatos_ = !page.empty();
  rows_.clear();
  MirrorEmpty();
  const long last = nClaveI_;
  for (const GridValues& values : page) {
    rows_.insert(rows_.begin(), LocalRow(values, --nClaveI_));
    MirrorAppend(rows_.front());
  }
  if (!rows_.empty()) {
    aClaveI_ = KeyLiterals(rows_.front());
    aClaveF_ = KeyLiterals(rows_.back());
    nClaveF_ = last - 1;
  }
  current_ = rows_.empty() ? 0 : rows_.size() - 1;
}

void TbSQL::FitTop() {
  const size_t screen = static_cast<size_t>(rowsPerScreen_);
  if (current_ < top_) top_ = current_;
  if (current_ >= top_ + screen) top_ = current_ - screen + 1;
}

int TbSQL::Skip(int n) {
  if (rows_.empty() || n == 0) return 0;
  const long target = static_cast<long>(current_) + n;
  if (n > 0 && target >= static_cast<long>(rows_.size()) && !LoadBelow()) {
    if (current_ + 1 == rows_.size()) lHitBottom_ = true;
  }
  if (n < 0 && target < 0) {
    if (!LoadAbove()) {
      if (current_ == 0) lHitTop_ = true;
    }
  }
  // Back on the row that was current (a load above shifted it), then move as
  // far as the held rows go.
  const long from = static_cast<long>(current_);
  const long to = std::clamp<long>(from + n, 0, static_cast<long>(rows_.size()) - 1);
  current_ = static_cast<size_t>(to);
  if (to > from) lHitTop_ = false;
  if (to < from) lHitBottom_ = false;
  FitTop();
  return static_cast<int>(to - from);
}

void TbSQL::GoTop() {
  if (lHitTop_) {
    current_ = top_ = 0;
    return;
  }
  LoadFirst();
  lHitTop_ = true;
  lHitBottom_ = false;
}

void TbSQL::GoBottom() {
  if (rows_.empty()) return;
  if (!lHitBottom_) {
    LoadLast();
    lHitBottom_ = true;
    lHitTop_ = false;
  }
  if (rows_.empty()) return;
  current_ = rows_.size() - 1;
  top_ = rows_.size() > static_cast<size_t>(rowsPerScreen_) ? rows_.size() - rowsPerScreen_ : 0;
}

bool TbSQL::KeyDown(GridKey key) {
  switch (key) {
    case GridKey::kUp: Skip(-1); return true;
    case GridKey::kDown: Skip(1); return true;
    case GridKey::kLeft: nColAct = std::max(1, nColAct - 1); return true;
    case GridKey::kRight:
      nColAct = std::min(std::max<int>(1, static_cast<int>(ColumnCount())), nColAct + 1);
      return true;
    case GridKey::kHome:
    case GridKey::kCtrlPgUp: GoTop(); return true;
    case GridKey::kEnd:
    case GridKey::kCtrlPgDn: GoBottom(); return true;
    case GridKey::kPgUp: Skip(-rowsPerScreen_); return true;
    case GridKey::kPgDn: Skip(rowsPerScreen_); return true;
    case GridKey::kF3: DropFilter(); return true;
    case GridKey::kOther: break;
  }
  return false;
}

void TbSQL::DropFilter() {
  if (aFiltros_.size() <= 1) {
    session_.platform.Information(kNoOtherFilters);
    return;
  }
  aFiltros_.pop_back();
  cFiltroTMP_ = aFiltros_.back();
  LoadFirst();
  lHitTop_ = true;
  lHitBottom_ = false;
}

void TbSQL::AddFilter(const std::string& condition) {
  cFiltroTMP_ = cFiltroTMP_ + " AND " + condition;
  aFiltros_.push_back(cFiltroTMP_);
  LoadFirst();
  lHitTop_ = true;
  lHitBottom_ = false;
}

void TbSQL::End() {
  if (!cAlias_.empty()) session_.locals.CIERRABORRA(cAlias_);
  cAlias_.clear();
  rows_.clear();
  current_ = top_ = 0;
  enabled = false;
}

db::Value TbSQL::Field(size_t row, const std::string& name) const {
  if (row >= rows_.size()) return db::Value();
  for (size_t i = 0; i < aStruct_.size() && i < rows_[row].size(); ++i) {
    if (SameName(aStruct_[i].name, name)) return rows_[row][i];
  }
  return db::Value();
}

bool TbSQL::SetField(size_t row, const std::string& name, const db::Value& value) {
  if (row >= rows_.size()) return false;
  size_t field = 0;
  while (field < aStruct_.size() && !SameName(aStruct_[field].name, name)) ++field;
  if (field >= aStruct_.size()) return false;
  rows_[row][field] = value;
  // The local record holding the same row number.
  db::LocalTable* table = cAlias_.empty() ? nullptr : session_.locals.Find(cAlias_);
  if (table == nullptr) return true;
  const db::Value number = rows_[row].back();
  const size_t numberField = aStruct_.size() - 1;
  for (table->GoTop(); !table->Eof(); table->Skip()) {
    if (table->Get(numberField).number() == number.number()) {
      table->Set(field, value);
      break;
    }
  }
  return true;
}

std::string TbSQL::CellText(size_t row, size_t column) const {
  if (column < 1 || column > definition_.shownColumns.size()) return "";
  return DisplayText(Field(row, definition_.shownColumns[column - 1]));
}

CellEdit TbSQL::BeginEdit(int column) const {
  CellEdit edit;
  if (column < 1 || column > static_cast<int>(definition_.shownColumns.size())) return edit;
  const std::string& name = definition_.shownColumns[column - 1];
  edit.value = Field(current_, name);
  edit.logical = edit.value.is_logical();
  for (const db::FieldSpec& field : aStruct_) {
    if (SameName(field.name, name)) edit.maxChars = field.width;
  }
  return edit;
}

db::Value TbSQL::EditedValue(const CellEdit& edit, const std::string& text) {
  if (edit.logical) return db::Value::Logical(config::Trim(text) == ".T.");
  if (edit.value.is_number()) return db::Value::Number(db::EVALGETNUM(text));
  if (edit.value.is_date()) {
    int d = 0, m = 0, y = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d", &d, &m, &y) == 3 && y > 0) {
      return db::Value::FromDate({y, m, d});
    }
    return db::Value::EmptyDate();
  }
  return db::Value::Text(edit.maxChars > 0 ? CutChars(text, edit.maxChars) : text);
}

EditResult TbSQL::WriteCell(const std::string& column, const db::Value& value,
                            const std::string& keyColumn, std::string* errorText) {
  if (rows_.empty() || value.is_none() ||
      (value.is_text() && config::IsBlank(value.text()))) {
    return EditResult::kEmpty;
  }
  const std::string sql = UpdateCellStatement(definition_.table, column, value, keyColumn,
                                              Field(current_, keyColumn));
  if (!db::EJECUTESQL(session_, sql, errorText)) return EditResult::kFailed;
  SetField(current_, column, value);
  return EditResult::kWritten;
}

}  // namespace params
