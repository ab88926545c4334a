#include "orders/numbering.h"

#include <vector>

#include "db/cursor.h"
#include "db/literals.h"
#include "db/lookups.h"
#include "db/statement.h"

namespace orders {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Where the trailing run of digits of `text` starts (text.size() when none).
size_t RunStart(const std::string& text) {
  size_t start = text.size();
  while (start > 0 && IsDigit(text[start - 1])) --start;
  return start;
}

// Values read from char columns arrive padded to the column's width.
std::string RightTrim(const std::string& text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

std::string VALSGTECAR(const std::string& text) {
  const size_t start = RunStart(text);
  if (start == text.size()) return text;
  // Add one digit by digit from the right, so runs of any length work.
  std::string run = text.substr(start);
  size_t i = run.size();
  while (i > 0) {
    --i;
    if (run[i] != '9') {
      ++run[i];
      return text.substr(0, start) + run;
    }
    run[i] = '0';
  }
  return text.substr(0, start) + "1" + run;
}

bool HasSuccessor(const std::string& text) {
  const size_t start = RunStart(text);
  if (start == text.size()) return false;
  return text.find_first_not_of('9', start) != std::string::npos;
}

std::string MaxNumberQuery(const std::string& seller) {
  return "SELECT COALESCE(MAX(NUMERONVV),'0000000000') AS MAXNUDO FROM VENDEDORYNOTA WITH "
         "(NOLOCK) WHERE VENDEDOR=" +
         db::QuoteText(seller) + " ";
}

std::string RecordNumberStatement(const std::string& seller, const std::string& number) {
  return "INSERT INTO VENDEDORYNOTA (VENDEDOR,NUMERONVV) VALUES (" + db::QuoteText(seller) +
         "," + db::QuoteText(number) + ") ";
}

std::string ExhaustedCounterText(const std::string& seller) {
  return "Numeración agotada para el vendedor " + RightTrim(seller) +
         ": su contador no tiene siguiente número";
}

DocumentNumbering::DocumentNumbering(db::Session& session, std::string inboxTable)
    : session_(session), inbox_table_(std::move(inboxTable)) {}

bool DocumentNumbering::Taken(const std::string& seller, const std::string& customer,
                              const std::string& candidate) {
  if (given_.count({customer, candidate}) != 0) return true;
  db::SqlRow row;
  if (db::SEEKSQL(session_, "VENDEDORYNOTA", row, {"VENDEDOR", "NUMERONVV"},
                  {db::Value::Text(seller), db::Value::Text(candidate)})) {
    return true;
  }
  // The inbox is read as the import's own insert reads it (any company).
  db::SqlRow inbox;
  return db::SeekRow(session_,
                     "SELECT TOP 1 IDPDAENCA FROM " + inbox_table_ +
                         " WITH (NOLOCK) WHERE TIDO='NVV' AND NUDO=" +
                         db::QuoteText(candidate) + " AND ENDO=" + db::QuoteText(customer),
                     inbox);
}

bool DocumentNumbering::DANUMEDOCPDA(const std::string& seller, const std::string& rawCustomer,
                                     std::string* number, std::string* errorText) {
  const std::string customer = RightTrim(rawCustomer);
  std::string candidate = kFirstNumber;
  {
    db::SqlRow row;
    bool found = false;
    db::Cursor cursor = db::CREARCURSOR(session_, row, MaxNumberQuery(seller), found);
    if (cursor && found) {
      const std::string greatest = RightTrim(db::VCC(session_, row, "MAXNUDO").text());
      if (!HasSuccessor(greatest)) {
        db::LIBERACURSOR(session_, cursor);
        if (errorText) *errorText = ExhaustedCounterText(seller);
        return false;
      }
      candidate = VALSGTECAR(greatest);
    }
    // A failed maximum query has been reported by the cursor; the existence
    // checks skip the taken numbers from the first one on.
    db::LIBERACURSOR(session_, cursor);
  }

  int collisions = 0;
  while (Taken(seller, customer, candidate)) {
    if (++collisions > kMaxTakenNumbers) {
      if (errorText) errorText->clear();
      return false;
    }
    if (!HasSuccessor(candidate)) {
      if (errorText) *errorText = ExhaustedCounterText(seller);
      return false;
    }
    candidate = VALSGTECAR(candidate);
  }

  if (!db::EJECUTESQL(session_, RecordNumberStatement(seller, candidate), errorText)) {
    return false;
  }
  given_.insert({customer, candidate});
  *number = candidate;
  return true;
}

}  // namespace orders
