// The text rewrites of formula evaluation that need no database: splitting off
// the rounding code, the document values, discount factors, the field of a list
// reference, re-pointing an inserted formula to its list, and the activity test
// of a stored formula.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orders {

// Copies `text`, handing every name in it to `rewrite` and writing what that
// returns in its place. A name starts with a character that is neither a
// separator, a digit, "." nor ","; digits, "." and "," inside it belong to it;
// a separator ends it.
std::string RewriteNames(const std::string& text, std::string_view separators,
                         const std::function<std::string(const std::string&)>& rewrite);

// Formulas without a rounding code are cut to this many characters.
inline constexpr size_t kFormulaWithoutCodeLimit = 120;

struct SplitFormula {
  std::string expression;  // blanks at both ends removed
  std::string code;        // one character, or empty
};

// With "#": the text before the first "#" and the one character after it (a
// blank or nothing gives the empty code). Without: the first 120 characters
// and the code "7" (no rounding).
SplitFormula SACAECUREDON(const std::string& formula);

// The values of the document in progress that formulas may name.
struct DocumentValues {
  double VABRDO = 0;
  double VANEDO = 0;
  double CAPRCO1 = 0;
  double CAPRCO2 = 0;
  double VANELI = 0;
};

// Replaces VABRDO, VANEDO, CAPRCO1, CAPRCO2 and VANELI, in this order, by their
// decimal text (NACSB) in the upper-case `expression`.
std::string ReplaceDocumentValues(std::string expression, const DocumentValues& values);

// Blanks at the ends removed; "{" becomes "(1-", "}" becomes "*.01)", blanks
// inside are dropped: {10} stands for the factor 0.9.
std::string SACAPARLLAVE(const std::string& text);

// The upper-cased run of `text` from `start` up to the first of
// + - / * ( ) { } [ ] (or the end).
std::string EXTRAECAMPO(const std::string& text, size_t start);

// "(" + the expression part of `formula` + ")" with every name that occurs
// within one of the expandable `fields` written as a reference to `list`
// ("<" + list + ">" + name).
std::string ARREGLAXX(const std::vector<std::string>& fields, const std::string& formula,
                      const std::string& list);

// True when `text` holds no capital letter A to Z: a stored formula written in
// lower case is active.
bool HasNoCapitals(std::string_view text);

// ASCII and Latin-1 upper case, as column names are compared.
std::string Upper(const std::string& text);

// `text` without any blank.
std::string WithoutBlanks(const std::string& text);

// Every occurrence of `from` in `text` replaced by `to`, left to right.
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);

}  // namespace orders
