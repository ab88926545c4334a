#include "config/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_dir.h"

namespace config {
namespace {

using configtest::ReadFile;
using configtest::TempDir;
using configtest::WriteFile;

mode_t Permissions(const std::filesystem::path& file) {
  struct stat st {};
  ::stat(file.c_str(), &st);
  return st.st_mode & 0777;
}

TEST(IniFileTest, ReadsWithPrivateProfileSemantics) {
  TempDir dir;
  const std::string long_value(1500, 'x');
  WriteFile(dir / "a.ini",
             "; comment\r\n"
             "[odbc_origen]\r\n"
             "dsn =   ventas  \r\n"
             "Empty=\r\n"
             "[OTROS]\r\n"
             "Destinatario=compa\xF1ia@example.com\r\n"
             "INTERVALO DE ACTUALIZACION = 300 \r\n"
             "Texto=abc\r\n"
             "Mixto=12abc\r\n"
             "Largo=" + long_value + "\r\n");
  IniFile ini(dir / "a.ini");
  ASSERT_TRUE(ini.Load());

  EXPECT_EQ(ini.GetString("ODBC_ORIGEN", "DSN"), "ventas");
  EXPECT_EQ(ini.GetString("Odbc_Origen", "empty"), "");
  EXPECT_EQ(ini.GetString("ODBC_ORIGEN", "USR"), "");
  EXPECT_EQ(ini.GetString("ODBC_DESTINO", "DSN"), "");
  EXPECT_EQ(ini.GetString("OTROS", "Destinatario"), "compañia@example.com");
  EXPECT_EQ(ini.GetString("OTROS", "Largo"), std::string(kIniMaxValueLength, 'x'));

  EXPECT_EQ(ini.GetInt("OTROS", "Intervalo de Actualizacion"), 300);
  EXPECT_EQ(ini.GetInt("OTROS", "Texto"), 0);
  EXPECT_EQ(ini.GetInt("OTROS", "Mixto"), 12);
  EXPECT_EQ(ini.GetInt("OTROS", "Missing"), 0);
}

TEST(IniFileTest, MissingFileReadsEmpty) {
  TempDir dir;
  IniFile ini(dir / "none.ini");
  EXPECT_FALSE(ini.Load());
  EXPECT_EQ(ini.GetString("OTROS", "Destinatario"), "");
  EXPECT_EQ(ini.GetInt("OTROS", "Intervalo de Actualizacion"), 0);
}

TEST(IniFileTest, SaveRewritesOnlyItsKeysAndKeepsTheRest) {
  TempDir dir;
  const auto file = dir / "a.ini";
  WriteFile(file,
             "[ODBC_ORIGEN]\r\n"
             "; the origin\r\n"
             "dsn=old\r\n"
             "Extra=keep me\r\n"
             "[Ajena]\r\n"
             "# other program\r\n"
             "k=v\r\n"
             "; last words\r\n");
  ::chmod(file.c_str(), 0644);
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  ini.SetString("odbc_origen", "DSN", "new");
  ini.SetString("OTROS", "Destinatario", "año\r\nInyectada=1");
  ini.SetInt("OTROS", "Intervalo de Actualizacion", 250);
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;

  // The existing key keeps its place and spelling; line ends stay CR LF.
  EXPECT_EQ(ReadFile(file),
            "[ODBC_ORIGEN]\r\n"
            "\r\n"
            "; the origin\r\n"
            "dsn=new\r\n"
            "Extra=keep me\r\n"
            "\r\n"
            "[Ajena]\r\n"
            "\r\n"
            "# other program\r\n"
            "k=v\r\n"
            "\r\n"
            "[OTROS]\r\n"
            "Destinatario=a\xF1o  Inyectada=1\r\n"
            "Intervalo de Actualizacion=250\r\n"
            "\r\n"
            "; last words\r\n");
  EXPECT_EQ(Permissions(file), 0600u);
  // No temporary file left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(IniFileTest, CommentsOnlyFileKeepsItsComment) {
  TempDir dir;
  const auto file = dir / "a.ini";
  WriteFile(file, "; nothing yet\n");
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  ini.SetString("OTROS", "Lista venta", "LV");
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;
  EXPECT_EQ(ReadFile(file), "; nothing yet\n\n[OTROS]\nLista venta=LV\n");
}

TEST(IniFileTest, NewFileIsPrivate) {
  TempDir dir;
  const auto file = dir / "new.ini";
  IniFile ini(file);
  EXPECT_FALSE(ini.Load());
  ini.SetString("ODBC_ORIGEN", "DSN", "x");
  std::string error;
  ASSERT_TRUE(ini.Save(&error)) << error;
  EXPECT_EQ(ReadFile(file), "[ODBC_ORIGEN]\nDSN=x\n");
  EXPECT_EQ(Permissions(file), 0600u);
}

TEST(IniFileTest, SaveFailureIsReported) {
  TempDir dir;
  IniFile ini(dir / "missing" / "a.ini");
  ini.SetString("OTROS", "Destinatario", "x");
  std::string error;
  EXPECT_FALSE(ini.Save(&error));
  EXPECT_NE(error.find("a.ini"), std::string::npos) << error;
}

}  // namespace
}  // namespace config
