#include "orders/formula_text.h"

#include <algorithm>

#include "config/text.h"
#include "db/cursor.h"
#include "db/literals.h"

namespace orders {

namespace {

// Length of the first `chars` characters of UTF-8 `text`, in bytes.
size_t BytesOfChars(const std::string& text, size_t chars) {
  size_t pos = 0;
  for (size_t n = 0; pos < text.size() && n < chars; ++n) {
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  }
  return pos;
}

bool IsOneOf(char c, std::string_view set) { return set.find(c) != std::string_view::npos; }

}  // namespace

SplitFormula SACAECUREDON(const std::string& formula) {
  const size_t hash = formula.find('#');
  if (hash == std::string::npos) {
    return {config::Trim(formula.substr(0, BytesOfChars(formula, kFormulaWithoutCodeLimit))),
            "7"};
  }
  SplitFormula split{config::Trim(formula.substr(0, hash)), ""};
  if (hash + 1 < formula.size() && formula[hash + 1] != ' ') split.code = formula.substr(hash + 1, 1);
  return split;
}

std::string ReplaceDocumentValues(std::string expression, const DocumentValues& v) {
  expression = ReplaceAll(std::move(expression), "VABRDO", db::NACSB(v.VABRDO));
  expression = ReplaceAll(std::move(expression), "VANEDO", db::NACSB(v.VANEDO));
  expression = ReplaceAll(std::move(expression), "CAPRCO1", db::NACSB(v.CAPRCO1));
  expression = ReplaceAll(std::move(expression), "CAPRCO2", db::NACSB(v.CAPRCO2));
  return ReplaceAll(std::move(expression), "VANELI", db::NACSB(v.VANELI));
}

std::string SACAPARLLAVE(const std::string& text) {
  std::string out;
  for (char c : config::Trim(text)) {
    if (c == '{') {
      out += "(1-";
    } else if (c == '}') {
      out += "*.01)";
    } else if (c != ' ') {
      out += c;
    }
  }
  return out;
}

std::string RewriteNames(const std::string& text, std::string_view separators,
                         const std::function<std::string(const std::string&)>& rewrite) {
  std::string out, name;
  bool in_name = false;
  for (char c : text) {
    if (IsOneOf(c, separators)) {
      if (in_name) out += rewrite(name);
      out += c;
      name.clear();
      in_name = false;
    } else if ((c >= '0' && c <= '9') || c == '.' || c == ',') {
      (in_name ? name : out) += c;
    } else {
      name += c;
      in_name = true;
    }
  }
  if (in_name) out += rewrite(name);
  return out;
}

std::string EXTRAECAMPO(const std::string& text, size_t start) {
  if (start >= text.size()) return "";
  size_t end = start;
  while (end < text.size() && !IsOneOf(text[end], "+-/*(){}[]")) ++end;
  return Upper(text.substr(start, end - start));
}

std::string ARREGLAXX(const std::vector<std::string>& fields, const std::string& formula,
                      const std::string& list) {
  std::string work(1, '(');  // appended, not "(" + text: GCC 12 warns wrongly on that form
  work += config::Trim(formula.substr(0, formula.find('#')));
  work += ')';
  auto write_name = [&](const std::string& name, std::string& out) {
    if (name.empty()) return;
    const std::string upper = Upper(name);
    const bool expandable = std::any_of(fields.begin(), fields.end(), [&](const std::string& f) {
      return f.find(upper) != std::string::npos;
    });
    out += expandable ? "<" + list + ">" + name : name;
  };
  return RewriteNames(work, "+-/*() {}", [&](const std::string& name) {
    const std::string trimmed = config::Trim(name);
    std::string out;
    write_name(trimmed, out);
    return out;
  });
}

bool HasNoCapitals(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string Upper(const std::string& text) { return db::UpperName(text); }

std::string WithoutBlanks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ') out += c;
  }
  return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  for (size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
    text.replace(pos, from.size(), to);
  }
  return text;
}

}  // namespace orders
