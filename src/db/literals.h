// How values are placed into statement text. Texts are quoted with every
// embedded single quote doubled; numbers are plain decimal text; dates are ODBC
// date escapes or NULL; logicals are 1 or 0.
#pragma once

#include <string>

#include "db/value.h"

namespace db {

// A number as a decimal literal: a whole number as digits without a point (a
// minus sign when negative), any other in plain decimal notation with "." and
// no exponent, with enough decimals to keep its value.
std::string NACSB(double number);

// An empty date gives NULL; any other {d 'YYYY-MM-DD'}.
std::string TRANFESQL(const Date& date);

// "'" + text with every "'" doubled + "'".
std::string QuoteText(const std::string& text);

// A bracketed identifier part, "[" + name with every "]" doubled + "]".
std::string BracketName(const std::string& name);

// The collation clause of a comparison or a staging column: "" for an empty
// collation name, else " COLLATE " + the trimmed name.
std::string CollationClause(const std::string& collation);

// The literal of any value: text, number (five decimals when read from the
// database, NACSB otherwise), date, logical. A value of kind none renders as
// NULL.
std::string Literal(const Value& value);

}  // namespace db
