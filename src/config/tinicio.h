// TInicio: the configuration object, one per process. Loads Norvo2015.ini from
// the program directory (connection values enciphered), carries the settings
// and the active company's settings through the run, and saves the file after
// proving that both connections can be opened. Values are held in clear and as
// UTF-8 in memory; only the file holds them enciphered.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace db {
class TOdbc;
}
namespace ui {
class Platform;
}

namespace config {

// What saving needs from the connection layer, kept abstract so that the
// configuration does not depend on ODBC. The access layer implements it.
class ConnectionChecker {
 public:
  virtual ~ConnectionChecker() = default;
  // Opens a throw-away connection and ends it at once; false when it failed
  // (the connection layer has then shown its own alert).
  virtual bool CanConnect(const std::string& dsn, const std::string& user,
                          const std::string& password) = 0;
  // Ends `connection` (TOdbc::End) and clears the pointer. Called by
  // Actualizar only when `connection` holds one.
  virtual void EndConnection(std::shared_ptr<db::TOdbc>& connection) = 0;
};

// Where the configuration lives and the keys it is stored under.
inline constexpr const char* kIniFileName = "Norvo2015.ini";
inline constexpr const char* kSectionOrigin = "ODBC_ORIGEN";
inline constexpr const char* kSectionDestination = "ODBC_DESTINO";
inline constexpr const char* kSectionOther = "OTROS";

// The interval used when none (0) is configured.
inline constexpr int kDefaultLapso = 250;

class TInicio {
 public:
  std::string cIniFile;          // "Norvo2015.ini"
  std::string cRuta;             // program directory, with a trailing "/"
  std::shared_ptr<db::TOdbc> oODBC;  // connection last opened by a switch
  std::string cDSN;
  std::string cUser;
  std::string cPassword;
  std::string cCollationOrigen;
  std::string cDSNDestino;
  std::string cUserDestino;
  std::string cPasswordDestino;
  std::string cDestinatario;
  int nLapso = 250;
  std::string ListaVenta;
  std::string ListaCompra;
  std::string ListaInterna;
  std::string cModalidad;
  std::string cEmpresa;
  std::string cSucursal;
  std::string cBodega;
  std::string cLista;
  std::string BaseDestino;
  std::string cCollation;

  // Loads `program_dir`/Norvo2015.ini. `lOk` is false when a required value is
  // missing or blank; the stop box "Conexiones no definidas" has then been shown
  // and every connection value is 200 blanks.
  static TInicio New(const std::filesystem::path& program_dir,
                     ui::Platform& platform, bool& lOk);

  // Validates the values in memory, ends `oODBC`, tests both connections and
  // writes the file (mode 0600). True when the file was written. Messages
  // that name a connection show "****" in place of its password. A value
  // that Windows-1252 cannot hold, or a file that cannot be written, is
  // reported with a stop box and nothing is claimed as saved.
  bool Actualizar(ui::Platform& platform, ConnectionChecker& checker);

  std::filesystem::path IniPath() const;
};

}  // namespace config
