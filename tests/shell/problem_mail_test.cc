#include "shell/problem_mail.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "config/tinicio.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

const std::string kHead =
    "<html><head><title>Problemas de Traspaso</title></head><body> "
    "<h1>Problemas de Traspaso</h1><h2>Norvo - Quorix</h2>";
const std::string kTail = "<br></body> </html>";
const std::string kTableOpen =
    "<form> <table border=\"1\" cellspacing=\"1\" cellpadding=\"2\" >";
const std::string kTableClose = "</table><br></form>";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::time_t LocalTime(int year, int month, int day, int hour) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TEST(ProblemMailPageTest, RowsAndCells) {
  EXPECT_EQ(ENQUINA({"a", "b"}), "<tr><td>a</td><td>b</td></tr>");
  EXPECT_EQ(ENQUINA({"a", "b"}, true), "<tr><td><b>a</b></td><td><b>b</b></td></tr>");
  EXPECT_EQ(ENQUINA({}), "<tr></tr>");
  // Problem lines carry SQL comparisons and quoted identifiers.
  EXPECT_EQ(ENQUINA({"WHERE A<>B & \"C\""}),
            "<tr><td>WHERE A&lt;&gt;B &amp; &quot;C&quot;</td></tr>");
  EXPECT_EQ(ENQUINA({"<i>"}, true), "<tr><td><b>&lt;i&gt;</b></td></tr>");
}

TEST(ProblemMailPageTest, EmptyBufferShowsSubtitleTwiceAndNoTable) {
  EXPECT_EQ(ARMAHTMLREQUERIDO({}, {"Problema"}), kHead + "<br>Norvo - Quorix" + kTail);
}

TEST(ProblemMailPageTest, TableWithHeaderAndRowsInOrder) {
  EXPECT_EQ(ARMAHTMLREQUERIDO({{"1", "x"}, {"2", "y"}}, {"N", "T"}),
            kHead + kTableOpen + "<tr><td><b>N</b></td><td><b>T</b></td></tr>" +
                "<tr><td>1</td><td>x</td></tr><tr><td>2</td><td>y</td></tr>" +
                kTableClose + kTail);
}

TEST(ProblemMailPageTest, FileNameAndCommandVector) {
  EXPECT_EQ(PageFileName(LocalTime(2024, 1, 31, 23)), "BodyHTML_20240131.html");
  EXPECT_EQ(PageFileName(LocalTime(2025, 12, 1, 0)), "BodyHTML_20251201.html");

  struct Case {
    std::string program, recipient;
    std::vector<std::string> argv;
  } cases[] = {
      {kDefaultMailProgram, "  ops@example.com ",
       {"java", "-jar", "sendmail.jar", "ops@example.com", "P.html"}},
      // An empty recipient stays an (empty) argument of its own.
      {kDefaultMailProgram, "", {"java", "-jar", "sendmail.jar", "", "P.html"}},
      {"  mailer   --html ", "a b", {"mailer", "--html", "a b", "P.html"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MailCommand(c.program, c.recipient, "P.html"), c.argv) << c.program;
  }
  EXPECT_EQ(ProblemMail("   ").mail_program(), kDefaultMailProgram);
  EXPECT_EQ(ProblemMail().mail_program(), kDefaultMailProgram);
}

// A problem mail writing into its own folder on a fixed date, with the launch
// recorded instead of performed.
class ProblemMailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qv_mail_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    mail_.SetDirectory(dir_);
    mail_.SetClock([this] { return now_; });
    mail_.SetLauncher([this](const std::vector<std::string>& argv, const fs::path& d) {
      launches_.push_back(argv);
      launch_dirs_.push_back(d);
    });
    ini_.cDestinatario = " jefe@example.com ";
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Page() const { return dir_ / "BodyHTML_20240131.html"; }

  fs::path dir_;
  std::time_t now_ = LocalTime(2024, 1, 31, 9);
  config::TInicio ini_;
  ProblemMail mail_;
  std::vector<std::vector<std::string>> launches_;
  std::vector<fs::path> launch_dirs_;
};

TEST_F(ProblemMailTest, ProblemLinesAreMailedUnderProblemaHeader) {
  mail_.SendProblems(ini_, {"Problema -> error 1 SELECT 1 WHERE a<>b",
                            "Problema -> ñandú"});
  std::string expected =
      kHead + kTableOpen + "<tr><td><b>Problema</b></td></tr>" +
      "<tr><td>Problema -&gt; error 1 SELECT 1 WHERE a&lt;&gt;b</td></tr>" +
      "<tr><td>Problema -&gt; \xF1" "and\xFA</td></tr>" + kTableClose + kTail + "\x1A";
  EXPECT_EQ(ReadFile(Page()), expected);
  EXPECT_TRUE(mail_.buffer().empty());
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0], (std::vector<std::string>{"java", "-jar", "sendmail.jar",
                                                    "jefe@example.com",
                                                    "BodyHTML_20240131.html"}));
  EXPECT_EQ(launch_dirs_[0], dir_);
}

TEST_F(ProblemMailTest, ModesClearAppendSendAndOthers) {
  std::vector<std::string> row = {"a", "b"};
  mail_.AGREGAALCORREO(ini_, 1, {row, {"c"}}, {});
  row[0] = "changed";  // the buffer holds its own copy
  mail_.AGREGAALCORREO(ini_, 7, {{"ignored"}}, {"ignored"});
  mail_.AGREGAALCORREO(ini_, -1, {}, {});
  EXPECT_EQ(mail_.buffer(), (MailRows{{"a", "b"}, {"c"}}));
  mail_.AGREGAALCORREO(ini_, 0, {{"x"}}, {});
  EXPECT_TRUE(mail_.buffer().empty());
  EXPECT_FALSE(fs::exists(Page()));
  EXPECT_TRUE(launches_.empty());

  // Send builds from the buffer only: the rows given with it are not used.
  mail_.AGREGAALCORREO(ini_, 1, {{"a"}}, {});
  mail_.AGREGAALCORREO(ini_, 2, {{"not used"}}, {"H"});
  EXPECT_EQ(ReadFile(Page()), kHead + kTableOpen + "<tr><td><b>H</b></td></tr>" +
                                  "<tr><td>a</td></tr>" + kTableClose + kTail + "\x1A");
}

TEST_F(ProblemMailTest, SecondSendOfTheDayReplacesThePageWithEmptyBufferPage) {
  mail_.SendProblems(ini_, {"Problema -> uno"});
  now_ += 3600;
  mail_.AGREGAALCORREO(ini_, 2, {}, {"Problema"});
  EXPECT_EQ(ReadFile(Page()), kHead + "<br>Norvo - Quorix" + kTail + "\x1A");
  EXPECT_EQ(launches_.size(), 2u);
  now_ = LocalTime(2024, 2, 1, 9);
  mail_.SendProblems(ini_, {"Problema -> dos"});
  EXPECT_TRUE(fs::exists(dir_ / "BodyHTML_20240201.html"));
  EXPECT_EQ(launches_.back().back(), "BodyHTML_20240201.html");
}

TEST_F(ProblemMailTest, UnwritablePageLaunchesNothingAndEmptiesBuffer) {
  mail_.SetDirectory(dir_ / "missing");
  mail_.SendProblems(ini_, {"Problema -> uno"});
  EXPECT_TRUE(launches_.empty());
  EXPECT_TRUE(mail_.buffer().empty());
  // The next send starts from an empty buffer.
  mail_.SetDirectory(dir_);
  mail_.AGREGAALCORREO(ini_, 2, {}, {"Problema"});
  EXPECT_EQ(ReadFile(Page()), kHead + "<br>Norvo - Quorix" + kTail + "\x1A");
}

// The real launch: a stand-in mail command on PATH records the directory it
// runs in, whether the page is there, and each argument it was given.
class ProblemMailLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qv_mailcmd_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "pages");
    fs::path script = dir_ / "bin" / "qv-mail-recorder";
    std::ofstream(script) << "#!/bin/sh\n"
                          << "rec='" << (dir_ / "record").string() << "'\n"
                          << "{ pwd; if [ -f \"$3\" ]; then echo page; fi\n"
                          << "  for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n"
                          << "} > \"$rec.tmp\" && mv \"$rec.tmp\" \"$rec.txt\"\n";
    fs::permissions(script, fs::perms::owner_all);
    const char* path = std::getenv("PATH");
    old_path_ = path ? path : "";
    setenv("PATH", ((dir_ / "bin").string() + ":" + old_path_).c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", old_path_.c_str(), 1);
    fs::remove_all(dir_);
  }

  // Waits (bounded) for the stand-in to finish writing its record.
  std::string AwaitRecord() {
    fs::path rec = dir_ / "record.txt";
    for (int i = 0; i < 500 && !fs::exists(rec); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadFile(rec);
  }

  fs::path dir_;
  std::string old_path_;
};

TEST_F(ProblemMailLaunchTest, RecipientWithShellCharactersStaysOneArgument) {
  config::TInicio ini;
  fs::path injected = dir_ / "injected";
  ini.cDestinatario = "  a@b.c; touch " + injected.string() + " ";
  ProblemMail mail("qv-mail-recorder --html");
  mail.SetDirectory(dir_ / "pages");
  mail.SetClock([] { return LocalTime(2024, 1, 31, 9); });
  mail.SendProblems(ini, {"Problema -> x"});

  std::string expected = (dir_ / "pages").string() + "\npage\n[--html]\n[a@b.c; touch " +
                         injected.string() + "]\n[BodyHTML_20240131.html]\n";
  EXPECT_EQ(AwaitRecord(), expected);
  EXPECT_FALSE(fs::exists(injected));
}

}  // namespace
}  // namespace shell
