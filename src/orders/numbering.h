// Document numbering of handheld orders: every order imported as a sales-order
// document (NVV) takes its seller's next number. The numbers given are rows of
// VENDEDORYNOTA (seller, number), written inside the import's transaction, so a
// rolled-back import releases them again.
//
// A candidate is taken, and skipped, when the seller already has it in
// VENDEDORYNOTA, when the inbox (PDAENCA) already holds an NVV document with
// that number for the order's customer, or when an earlier order of the same
// import for that customer got it: inbox documents are keyed by type, number
// and customer, and two sellers' counters may meet on one customer.
#pragma once

#include <set>
#include <string>
#include <utility>

#include "db/session.h"

namespace orders {

// Taken candidates skipped before the numbering gives up (the 51st fails).
inline constexpr int kMaxTakenNumbers = 50;

// The number every seller starts from, and the floor of the maximum query.
inline constexpr const char* kFirstNumber = "0000000001";

// The successor of a number: the trailing run of digits plus one, written with
// the run's width, zeros on the left; the characters before it unchanged.
// 0000000041 gives 0000000042, A-0099 gives A-0100, NV7 gives NV8. A text
// without a trailing digit ("ABC", "") is returned unchanged; a run of nines
// grows by one digit (see HasSuccessor).
std::string VALSGTECAR(const std::string& text);

// True when `text` has a successor of the same width: it ends in a digit and
// its trailing run is not all nines.
bool HasSuccessor(const std::string& text);

// "SELECT COALESCE(MAX(NUMERONVV),'0000000000') AS MAXNUDO FROM VENDEDORYNOTA
// WITH (NOLOCK) WHERE VENDEDOR=<seller> " (the seller as a quoted literal).
std::string MaxNumberQuery(const std::string& seller);

// "INSERT INTO VENDEDORYNOTA (VENDEDOR,NUMERONVV) VALUES (<seller>,<number>) ".
std::string RecordNumberStatement(const std::string& seller, const std::string& number);

// The numbering of one import: remembers the numbers given to each customer so
// that no two orders of the import share a document key.
class DocumentNumbering {
 public:
  // `inboxTable` names the ERP's PDAENCA as the import reaches it
  // ("[" + cDSN + "].dbo.PDAENCA").
  DocumentNumbering(db::Session& session, std::string inboxTable);

  // DANUMEDOCPDA: the seller's next free number for an order of `customer`,
  // recorded in VENDEDORYNOTA. False when no number can be given; the caller
  // then abandons its import with `errorText` as the problem text: the
  // driver's message when recording failed, the empty text after more than
  // kMaxTakenNumbers taken candidates, and a text naming the seller when the
  // seller's counter has no successor of its width.
  bool DANUMEDOCPDA(const std::string& seller, const std::string& customer,
                    std::string* number, std::string* errorText);

 private:
  bool Taken(const std::string& seller, const std::string& customer,
             const std::string& candidate);

  db::Session& session_;
  std::string inbox_table_;
  std::set<std::pair<std::string, std::string>> given_;  // (customer, number)
};

// The problem text of a seller whose counter cannot go on.
std::string ExhaustedCounterText(const std::string& seller);

}  // namespace orders
