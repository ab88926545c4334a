#include "support/tsql_grammar.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

extern char** environ;

namespace testsupport {
namespace {

namespace fs = std::filesystem;

// Style rules are switched off (L001 selected, then excluded): only the
// parser's own findings (PRS unparsable, LXR unlexable, TMP) remain. The raw
// templater keeps braces in literals away from Jinja; the byte limit 0 keeps
// large batches from being skipped silently.
constexpr const char* kConfig =
    "[sqlfluff]\n"
    "dialect = tsql\n"
    "templater = raw\n"
    "encoding = utf-8\n"
    "large_file_skip_byte_limit = 0\n"
    "rules = L001\n"
    "exclude_rules = L001\n";

// Parsed in every run: if its error does not come back, the run itself is not
// trustworthy and no statement passes.
constexpr const char* kSentinelFile = "zz_sentinel.sql";
constexpr const char* kSentinelText = "SELECT FROM WHERE";

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' ||
         c == '#' || c == '$';
}

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

size_t SkipSpaces(const std::string& s, size_t i) {
  while (i < s.size() && IsSpace(s[i])) ++i;
  return i;
}

// End (one past the closing character) of a quoted run starting at s[i] with
// `close` doubled inside as the escape; s.size() when unterminated.
size_t QuotedEnd(const std::string& s, size_t i, char close) {
  for (size_t j = i + 1; j < s.size(); ++j) {
    if (s[j] != close) continue;
    if (j + 1 < s.size() && s[j + 1] == close) {
      ++j;
      continue;
    }
    return j + 1;
  }
  return s.size();
}

// End of a comment starting at s[i] ("--" to the line end, "/*" to "*/"), or
// i when none starts there.
size_t CommentEnd(const std::string& s, size_t i) {
  if (s.compare(i, 2, "--") == 0) {
    size_t e = s.find('\n', i);
    return e == std::string::npos ? s.size() : e;
  }
  if (s.compare(i, 2, "/*") == 0) {
    size_t e = s.find("*/", i + 2);
    return e == std::string::npos ? s.size() : e + 2;
  }
  return i;
}

// End of the lexical unit at s[i] that must be copied untouched (literal,
// quoted identifier, comment), or i when s[i] starts none.
size_t OpaqueEnd(const std::string& s, size_t i) {
  switch (s[i]) {
    case '\'': return QuotedEnd(s, i, '\'');
    case '"': return QuotedEnd(s, i, '"');
    case '[': return QuotedEnd(s, i, ']');
    default: return CommentEnd(s, i);
  }
}

// The upper-cased word starting at s[i] and its end.
std::string WordAt(const std::string& s, size_t i, size_t* end) {
  size_t j = i;
  while (j < s.size() && IsWordChar(s[j])) ++j;
  *end = j;
  std::string w = s.substr(i, j - i);
  for (char& c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return w;
}

// Index of the '}' closing the brace at s[open], skipping literals and nested
// braces; npos when there is none.
size_t MatchingBrace(const std::string& s, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size();) {
    size_t e = OpaqueEnd(s, i);
    if (e != i) {
      i = e;
      continue;
    }
    if (s[i] == '{') ++depth;
    if (s[i] == '}' && --depth == 0) return i;
    ++i;
  }
  return std::string::npos;
}

// Rewrites the ODBC escape starting at s[i] ('{') into `out` and returns the
// index after it, or i when it is no escape this check knows (left to fail).
size_t RewriteEscape(const std::string& s, size_t i, std::string& out) {
  size_t kw_begin = SkipSpaces(s, i + 1);
  size_t kw_end;
  std::string kw = WordAt(s, kw_begin, &kw_end);
  if (kw == "D" || kw == "T" || kw == "TS") {
    size_t lit = SkipSpaces(s, kw_end);
    if (lit >= s.size() || s[lit] != '\'') return i;
    size_t lit_end = QuotedEnd(s, lit, '\'');
    size_t close = SkipSpaces(s, lit_end);
    if (close >= s.size() || s[close] != '}') return i;
    out += s.substr(lit, lit_end - lit);
    return close + 1;
  }
  if (kw == "FN" || kw == "OJ") {
    size_t close = MatchingBrace(s, i);
    if (close == std::string::npos) return i;
    out += ToParsableTsql(s.substr(kw_end, close - kw_end));
    return close + 1;
  }
  return i;
}

// "WITH CHECK ADD" / "WITH NOCHECK ADD" of ALTER TABLE is valid T-SQL that the
// tsql grammar of sqlfluff 1.4.5 does not know; it checks as plain "ADD".
// Returns the index after the matched words, or i.
size_t RewriteGrammarGap(const std::string& s, size_t i, std::string& out) {
  size_t e1, e2, e3;
  if (WordAt(s, i, &e1) != "WITH" || e1 == s.size() || !IsSpace(s[e1])) return i;
  size_t w2 = SkipSpaces(s, e1);
  std::string check = WordAt(s, w2, &e2);
  if ((check != "CHECK" && check != "NOCHECK") || e2 == s.size() || !IsSpace(s[e2])) {
    return i;
  }
  size_t w3 = SkipSpaces(s, e2);
  if (WordAt(s, w3, &e3) != "ADD") return i;
  out += s.substr(w3, e3 - w3);
  return e3;
}

struct RunResult {
  bool ran = false;
  std::string problem;  // why the run cannot be trusted
  std::map<std::string, std::string> findings;  // file name -> findings
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Parses the "github-annotation-native" lines:
//   ::notice title=SQLFluff,file=PATH,line=N,col=M::CODE: description
// Findings of style rules (codes L + digits) are ignored.
void CollectFindings(const std::string& output, RunResult& result) {
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("::", 0) != 0) continue;
    size_t file_at = line.find("file=");
    size_t line_at = line.find(",line=", file_at);
    size_t body_at = line.find("::", 2);
    if (file_at == std::string::npos || line_at == std::string::npos ||
        body_at == std::string::npos) {
      continue;
    }
    std::string file = fs::path(line.substr(file_at + 5, line_at - file_at - 5))
                           .filename()
                           .string();
    std::string body = line.substr(body_at + 2);
    std::string code = body.substr(0, body.find(':'));
    bool style_rule = code.size() > 1 && code[0] == 'L' &&
                      code.find_first_not_of("0123456789", 1) == std::string::npos;
    if (style_rule) continue;
    std::string location = line.substr(line_at + 1, body_at - line_at - 1);
    std::string& f = result.findings[file];
    if (!f.empty()) f += "\n";
    f += "[" + location + "] " + body;
  }
}

// Runs sqlfluff over `dir`, with cwd `root` so that no project configuration
// from the test's working directory applies.
RunResult RunSqlfluff(const fs::path& root, const fs::path& dir, const fs::path& config) {
  RunResult result;
  fs::path out = root / "out.txt";
  fs::path err = root / "err.txt";
  std::vector<std::string> args = {"sqlfluff", "lint", "--config", config.string(),
                                   "--format", "github-annotation-native",
                                   "--disable-progress-bar", "--nocolor",
                                   "--disregard-sqlfluffignores", dir.string()};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, root.c_str());
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, "sqlfluff", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    result.problem = rc == ENOENT
                         ? "sqlfluff not found on PATH: the T-SQL grammar check needs the "
                           "Debian package sqlfluff (scripts/install-deps installs it)"
                         : std::string("cannot start sqlfluff: ") + std::strerror(rc);
    return result;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  // Exit 1 means "findings" (the sentinel always has one); anything else is a
  // broken run.
  if (!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 1)) {
    result.problem = "sqlfluff run failed (status " + std::to_string(status) +
                     "): " + ReadAll(err);
    return result;
  }
  CollectFindings(ReadAll(out), result);
  if (result.findings.count(kSentinelFile) == 0) {
    result.problem = "sqlfluff did not report the known-bad sentinel statement; "
                     "output: " + ReadAll(out) + ReadAll(err);
    return result;
  }
  result.ran = true;
  return result;
}

bool IsBlank(const std::string& s) {
  for (char c : s) {
    if (!IsSpace(c)) return false;
  }
  return true;
}

}  // namespace

std::string ToParsableTsql(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t e = OpaqueEnd(s, i);
    if (e != i) {
      out.append(s, i, e - i);
      i = e;
      continue;
    }
    if (s[i] == '{') {
      e = RewriteEscape(s, i, out);
      if (e != i) {
        i = e;
        continue;
      }
    } else if (IsWordChar(s[i]) && (i == 0 || !IsWordChar(s[i - 1]))) {
      e = RewriteGrammarGap(s, i, out);
      if (e != i) {
        i = e;
        continue;
      }
      WordAt(s, i, &e);
      out.append(s, i, e - i);
      i = e;
      continue;
    }
    out += s[i++];
  }
  return out;
}

std::vector<TsqlVerdict> CheckTsqlAll(const std::vector<std::string>& statements) {
  std::vector<TsqlVerdict> verdicts(statements.size());
  if (statements.empty()) return verdicts;

  std::string pattern = (fs::temp_directory_path() / "qv_tsql_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    for (auto& v : verdicts) v.detail = "cannot create a temporary folder";
    return verdicts;
  }
  fs::path root = pattern;
  fs::path dir = root / "sql";
  fs::create_directory(dir);
  fs::path config = root / "sqlfluff.cfg";
  std::ofstream(config, std::ios::binary) << kConfig;

  auto name_of = [](size_t i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "s%05zu.sql", i);
    return std::string(buf);
  };
  for (size_t i = 0; i < statements.size(); ++i) {
    std::ofstream(dir / name_of(i), std::ios::binary) << ToParsableTsql(statements[i]);
  }
  std::ofstream(dir / kSentinelFile, std::ios::binary) << kSentinelText;

  RunResult run = RunSqlfluff(root, dir, config);
  std::error_code ignored;
  fs::remove_all(root, ignored);

  for (size_t i = 0; i < statements.size(); ++i) {
    TsqlVerdict& v = verdicts[i];
    v.checked = run.ran;
    if (!run.ran) {
      v.detail = run.problem;
    } else if (IsBlank(statements[i])) {
      v.detail = "empty statement";
    } else {
      auto it = run.findings.find(name_of(i));
      v.ok = it == run.findings.end();
      if (!v.ok) v.detail = it->second;
    }
  }
  return verdicts;
}

TsqlVerdict CheckTsql(const std::string& statement) {
  return CheckTsqlAll({statement}).front();
}

::testing::AssertionResult AreTsql(const std::vector<std::string>& statements) {
  std::vector<TsqlVerdict> verdicts = CheckTsqlAll(statements);
  // A run that could not check anything is one failure, not one per statement.
  if (!verdicts.empty() && !verdicts[0].checked) {
    return ::testing::AssertionFailure()
           << "no statement could be checked: " << verdicts[0].detail;
  }
  std::string failures;
  for (size_t i = 0; i < verdicts.size(); ++i) {
    if (verdicts[i].ok) continue;
    failures += "statement " + std::to_string(i + 1) + " is not valid T-SQL:\n  " +
                statements[i] + "\n  " + verdicts[i].detail + "\n";
  }
  if (failures.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << failures;
}

::testing::AssertionResult IsTsql(const std::string& statement) {
  return AreTsql({statement});
}

}  // namespace testsupport
