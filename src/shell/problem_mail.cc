#include "shell/problem_mail.h"

#include <cstring>
#include <fstream>
#include <utility>

#include "config/codepage.h"
#include "config/text.h"
#include "config/tinicio.h"

namespace shell {

namespace {

constexpr const char* kTitle = "Problemas de Traspaso";
constexpr const char* kSubtitle = "Norvo - Quorix";
constexpr char kEndOfFile = '\x1A';

// Problem lines carry SQL text full of "<>" and "&", which would break the
// page; the four characters that matter inside element content and
// attribute values are written as entities.
std::string EscapeHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Writes the whole page; false unless every byte reached the file.
bool WritePage(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

}  // namespace

std::string ENQUINA(const MailRow& aRow, bool lHeader) {
  std::string row = "<tr>";
  for (const std::string& cell : aRow) {
    if (lHeader) {
      row += "<td><b>" + EscapeHtml(cell) + "</b></td>";
    } else {
      row += "<td>" + EscapeHtml(cell) + "</td>";
    }
  }
  row += "</tr>";
  return row;
}

std::string ARMAHTMLREQUERIDO(const MailRows& aRows, const MailRow& aHeader) {
  const std::string title = kTitle;
  const std::string subtitle = kSubtitle;
  std::string page = "<html><head><title>" + title + "</title>" + "</head>" + "<body> " +
                     "<h1>" + title + "</h1>" + "<h2>" + subtitle + "</h2>";
  if (aRows.empty()) {
    page += "<br>" + subtitle;
  } else {
    page += "<form> <table border=\"1\" cellspacing=\"1\" cellpadding=\"2\" >";
    page += ENQUINA(aHeader, true);
    for (const MailRow& row : aRows) page += ENQUINA(row);
    page += "</table><br></form>";
  }
  page += "<br></body> </html>";
  return page;
}

std::string PageFileName(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char date[16];
  std::strftime(date, sizeof date, "%Y%m%d", &local);
  return std::string("BodyHTML_") + date + ".html";
}

std::vector<std::string> MailCommand(const std::string& program,
                                     const std::string& recipient,
                                     const std::string& page_file) {
  std::vector<std::string> argv;
  std::string word;
  for (char c : program) {
    if (std::strchr(config::kBlankCharacters, c) != nullptr) {
      if (!word.empty()) argv.push_back(std::move(word));
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) argv.push_back(std::move(word));
  argv.push_back(config::Trim(recipient));
  argv.push_back(page_file);
  return argv;
}

ProblemMail::ProblemMail(const std::string& mail_program) {
  SetMailProgram(mail_program);
  launcher_ = [this](const std::vector<std::string>& argv,
                     const std::filesystem::path& directory) {
    processes_.Launch(argv, directory);
  };
}

void ProblemMail::SetMailProgram(const std::string& mail_program) {
  mail_program_ = config::Trim(mail_program).empty() ? kDefaultMailProgram : config::Trim(mail_program);
}

void ProblemMail::SetDirectory(std::filesystem::path directory) {
  directory_ = std::move(directory);
}

void ProblemMail::SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

void ProblemMail::SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

void ProblemMail::AGREGAALCORREO(const config::TInicio& ini, int nMode,
                                 const MailRows& aRows, const MailRow& aHeader) {
  switch (nMode) {
    case 0:
      buffer_.clear();
      break;
    case 1:
      buffer_.insert(buffer_.end(), aRows.begin(), aRows.end());
      break;
    case 2:
      Send(ini, aHeader);
      break;
    default:
      break;
  }
}

void ProblemMail::SendProblems(const config::TInicio& ini,
                               const std::vector<std::string>& problems) {
  MailRows rows;
  rows.reserve(problems.size());
  for (const std::string& line : problems) rows.push_back({line});
  AGREGAALCORREO(ini, 1, rows, {});
  AGREGAALCORREO(ini, 2, {}, {kProblemHeader});
}

void ProblemMail::Send(const config::TInicio& ini, const MailRow& aHeader) {
  std::string page = config::ToCp1252Lossy(ARMAHTMLREQUERIDO(buffer_, aHeader));
  page += kEndOfFile;
  buffer_.clear();

  std::time_t now = clock_ ? clock_() : std::time(nullptr);
  std::string name = PageFileName(now);
  if (!WritePage(directory_ / name, page)) return;
  // The command finds the page (and its own files) by bare name in the
  // directory it starts in.
  launcher_(MailCommand(mail_program_, ini.cDestinatario, name), directory_);
}

}  // namespace shell
