#include "config/tinicio.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "config/cipher.h"
#include "temp_dir.h"
#include "ui/recording_platform.h"

namespace config {
namespace {

using configtest::ReadFile;
using configtest::TempDir;
using configtest::WriteFile;

// Answers connection tests from a script and records what was asked.
class FakeChecker : public ConnectionChecker {
 public:
  bool CanConnect(const std::string& dsn, const std::string& user,
                  const std::string& password) override {
    tried.push_back(dsn + "|" + user + "|" + password);
    return failing_dsn != dsn;
  }
  void EndConnection(std::shared_ptr<db::TOdbc>& connection) override {
    ++ended;
    connection.reset();
  }
  std::string failing_dsn;
  std::vector<std::string> tried;
  int ended = 0;
};

std::string Line(const char* key, const std::string& clear) {
  return std::string(key) + "=" + Encriptar(clear, 1) + "\r\n";
}

std::string OriginSection() {
  return "[ODBC_ORIGEN]\r\n" + Line("DSN", "erp") + Line("USR", "sa") +
         Line("PSW", "clave") + "COLL=\r\n";
}

std::string DestinationSection(bool with_collation = true) {
  return "[ODBC_DESTINO]\r\n" + Line("DSN", "dms") + Line("USR", "dmsuser") +
         Line("PSW", "secreta") + Line("DB", "VELMORA") +
         (with_collation ? Line("COLL", "Modern_Spanish_CI_AS") : "COLL=  \r\n");
}

class TInicioTest : public ::testing::Test {
 protected:
  std::filesystem::path IniFile() const { return dir_ / kIniFileName; }

  TInicio Load(bool& ok) { return TInicio::New(dir_.path(), platform_, ok); }

  // A configuration as the dialog leaves it, ready to save.
  TInicio Filled() {
    bool ok = false;
    TInicio o = Load(ok);
    platform_.messages.clear();
    o.cDSN = " erp ";
    o.cUser = "sa";
    o.cPassword = "clave";
    o.cCollationOrigen = "";
    o.cDSNDestino = "dms";
    o.cUserDestino = "dmsuser";
    o.cPasswordDestino = "secreta";
    o.BaseDestino = "VELMORA";
    o.cCollation = "Modern_Spanish_CI_AS";
    o.cDestinatario = " jefe@example.com ";
    o.nLapso = 0;
    o.ListaVenta = "LV1";
    o.ListaCompra = "LC1";
    o.ListaInterna = "LI1 ";
    return o;
  }

  TempDir dir_;
  ui::RecordingPlatform platform_;
  FakeChecker checker_;
};

TEST_F(TInicioTest, LoadsAndDeciphersACompleteFile) {
  WriteFile(IniFile(), OriginSection() + DestinationSection() +
                            "[OTROS]\r\nDestinatario= jefe@example.com \r\n"
                            "Lista venta=LV1\r\n");
  bool ok = false;
  TInicio o = Load(ok);
  ASSERT_TRUE(ok);
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_EQ(o.cDSN, "erp");
  EXPECT_EQ(o.cUser, "sa");
  EXPECT_EQ(o.cPassword, "clave");
  EXPECT_EQ(o.cCollationOrigen, "");
  EXPECT_EQ(o.cDSNDestino, "dms");
  EXPECT_EQ(o.cPasswordDestino, "secreta");
  EXPECT_EQ(o.BaseDestino, "VELMORA");
  EXPECT_EQ(o.cCollation, "Modern_Spanish_CI_AS");
  EXPECT_EQ(o.cDestinatario, "jefe@example.com");
  EXPECT_EQ(o.nLapso, 250) << "no interval key";
  EXPECT_EQ(o.ListaVenta, "LV1");
  EXPECT_EQ(o.ListaCompra, "");
  EXPECT_EQ(o.cIniFile, "Norvo2015.ini");
  EXPECT_EQ(o.cRuta, dir_.path().string() + "/");
  EXPECT_EQ(o.cModalidad, "\x05 \x05 \x05");
  EXPECT_EQ(o.cEmpresa, "01");
  EXPECT_EQ(o.cSucursal, "   ");
  EXPECT_EQ(o.cBodega, "   ");
  EXPECT_EQ(o.cLista, "   ");
  EXPECT_FALSE(o.oODBC);
}

TEST_F(TInicioTest, ProgramDirectoryKeepsItsCase) {
  const auto mixed = dir_ / "Programa/";
  std::filesystem::create_directory(mixed);
  WriteFile(mixed / kIniFileName, OriginSection() + DestinationSection());
  bool ok = false;
  TInicio o = TInicio::New(mixed, platform_, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(o.cRuta, (dir_ / "Programa").string() + "/");
}

TEST_F(TInicioTest, UndefinedConfigurationDiscardsEverything) {
  const std::string incomplete[] = {
      "",                                            // no file at all
      OriginSection(),                               // only the origin
      OriginSection() + DestinationSection(false),   // blank collation
  };
  for (const std::string& content : incomplete) {
    if (content.empty()) {
      std::filesystem::remove(IniFile());
    } else {
      WriteFile(IniFile(), content + "[OTROS]\r\nLista venta=LV1\r\n"
                                      "Intervalo de Actualizacion=30\r\n");
    }
    platform_.messages.clear();
    bool ok = true;
    TInicio o = Load(ok);
    EXPECT_FALSE(ok);
    const std::string blank200(200, ' ');
    for (const std::string* v :
         {&o.cDSN, &o.cUser, &o.cPassword, &o.cCollationOrigen, &o.cDSNDestino,
          &o.cUserDestino, &o.cPasswordDestino, &o.BaseDestino, &o.cCollation,
          &o.cDestinatario}) {
      EXPECT_EQ(*v, blank200);
    }
    EXPECT_EQ(o.nLapso, 250);
    EXPECT_EQ(o.ListaVenta, std::string(8, ' '));
    EXPECT_EQ(o.ListaInterna, std::string(8, ' '));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
    EXPECT_EQ(platform_.messages[0].text, "Conexiones no definidas");
    EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  }
}

TEST_F(TInicioTest, SaveWritesTheFileAndLoadsBack) {
  TInicio o = Filled();
  int token = 0;  // stands for a live connection; only its presence matters
  o.oODBC = std::shared_ptr<db::TOdbc>(std::shared_ptr<void>(),
                                       reinterpret_cast<db::TOdbc*>(&token));
  ASSERT_TRUE(o.Actualizar(platform_, checker_));

  EXPECT_EQ(checker_.ended, 1);
  EXPECT_FALSE(o.oODBC);
  EXPECT_EQ(checker_.tried,
            (std::vector<std::string>{"erp|sa|clave", "dms|dmsuser|secreta"}));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kInformation);
  EXPECT_EQ(platform_.messages[0].text,
            "Su configuración fue grabada. Reingrese al sistema para que sus "
            "cambios tomen efecto");
  EXPECT_EQ(platform_.messages[0].title, "ATENCION");
  EXPECT_EQ(o.nLapso, 250) << "0 is saved as 250";

  EXPECT_EQ(ReadFile(IniFile()),
            "[ODBC_ORIGEN]\n"
            "DSN=" + Encriptar("erp", 1) + "\n"
            "USR=" + Encriptar("sa", 1) + "\n"
            "PSW=" + Encriptar("clave", 1) + "\n"
            "COLL=\n"
            "\n"
            "[ODBC_DESTINO]\n"
            "DSN=" + Encriptar("dms", 1) + "\n"
            "USR=" + Encriptar("dmsuser", 1) + "\n"
            "PSW=" + Encriptar("secreta", 1) + "\n"
            "DB=" + Encriptar("VELMORA", 1) + "\n"
            "COLL=" + Encriptar("Modern_Spanish_CI_AS", 1) + "\n"
            "\n"
            "[OTROS]\n"
            "Destinatario=jefe@example.com\n"
            "Intervalo de Actualizacion=250\n"
            "Lista venta=LV1\n"
            "Lista compra=LC1\n"
            "Lista interna=LI1\n");
  struct stat st {};
  ASSERT_EQ(::stat(IniFile().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  bool ok = false;
  TInicio back = Load(ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(back.cDSN, "erp");
  EXPECT_EQ(back.cCollationOrigen, "");
  EXPECT_EQ(back.cCollation, "Modern_Spanish_CI_AS");
  EXPECT_EQ(back.cDestinatario, "jefe@example.com");
  EXPECT_EQ(back.ListaInterna, "LI1");
}

TEST_F(TInicioTest, SaveKeepsTheRestOfAWindowsFile) {
  WriteFile(IniFile(), "[odbc_origen]\r\n; origen\r\ndsn=viejo\r\nOtra=1\r\n"
                        "[Ajena]\r\nk=v\r\n");
  TInicio o = Filled();
  o.cPassword = "contraseña";
  ASSERT_TRUE(o.Actualizar(platform_, checker_));
  const std::string text = ReadFile(IniFile());
  EXPECT_NE(text.find("[odbc_origen]\r\n\r\n; origen\r\ndsn=" + Encriptar("erp", 1) +
                      "\r\nOtra=1\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[Ajena]\r\nk=v\r\n"), std::string::npos) << text;
  bool ok = false;
  EXPECT_EQ(Load(ok).cPassword, "contraseña");
}

TEST_F(TInicioTest, SaveRefusals) {
  struct Case {
    const char* name;
    void (*change)(TInicio&);
    std::string failing_dsn;
    std::string text;
    std::string title;
    size_t connection_tests;
  };
  const Case cases[] = {
      {"required value blank", [](TInicio& o) { o.BaseDestino = "  "; }, "",
       "Debe completar todos los datos. Grabación no se efectuó", "ATENCION", 0},
      {"origin fails", [](TInicio&) {}, "erp",
       "Fallo de conexion hacia origen : erp sa ****", "Stop", 1},
      {"destination fails", [](TInicio&) {}, "dms",
       "Fallo de conexion hacia destino : dms dmsuser ****", "Stop", 2},
      {"value outside Windows-1252", [](TInicio& o) { o.cPassword = "clave✓"; }, "",
       "Los datos contienen caracteres que no se pueden grabar. Grabación no se "
       "efectuó",
       "ATENCION", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(IniFile());
    TInicio o = Filled();
    c.change(o);
    checker_ = FakeChecker();
    checker_.failing_dsn = c.failing_dsn;
    EXPECT_FALSE(o.Actualizar(platform_, checker_));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
    EXPECT_EQ(platform_.messages[0].text, c.text);
    EXPECT_EQ(platform_.messages[0].title, c.title);
    EXPECT_EQ(checker_.tried.size(), c.connection_tests);
    EXPECT_FALSE(std::filesystem::exists(IniFile())) << "nothing written";
  }
}

TEST_F(TInicioTest, UnwritableFileIsNotReportedAsSaved) {
  TInicio o = Filled();
  o.cRuta = (dir_ / "missing").string() + "/";
  EXPECT_FALSE(o.Actualizar(platform_, checker_));
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].kind, ui::MessageKind::kStop);
  EXPECT_NE(platform_.messages[0].text.find("Grabación no se efectuó"),
            std::string::npos);
}

}  // namespace
}  // namespace config
