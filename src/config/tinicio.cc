#include "config/tinicio.h"

#include <iterator>
#include <optional>

#include "config/cipher.h"
#include "config/codepage.h"
#include "config/ini_file.h"
#include "config/log_file.h"
#include "config/text.h"
#include "ui/platform.h"

namespace config {

namespace {

// Not empty, and matching no real modality.
const std::string kModalityPlaceholder = "\x05 \x05 \x05";

// The enciphered keys, in the order of the file and of loading and saving.
struct CipheredKey {
  const char* section;
  const char* key;
  std::string TInicio::*field;
  bool required;
};

const CipheredKey kCipheredKeys[] = {
    {kSectionOrigin, "DSN", &TInicio::cDSN, true},
    {kSectionOrigin, "USR", &TInicio::cUser, true},
    {kSectionOrigin, "PSW", &TInicio::cPassword, true},
    {kSectionOrigin, "COLL", &TInicio::cCollationOrigen, false},
    {kSectionDestination, "DSN", &TInicio::cDSNDestino, true},
    {kSectionDestination, "USR", &TInicio::cUserDestino, true},
    {kSectionDestination, "PSW", &TInicio::cPasswordDestino, true},
    {kSectionDestination, "DB", &TInicio::BaseDestino, true},
    {kSectionDestination, "COLL", &TInicio::cCollation, true},
};

constexpr const char* kKeyDestinatario = "Destinatario";
constexpr const char* kKeyLapso = "Intervalo de Actualizacion";
constexpr const char* kKeyListaVenta = "Lista venta";
constexpr const char* kKeyListaCompra = "Lista compra";
constexpr const char* kKeyListaInterna = "Lista interna";

bool AnyRequiredBlank(const TInicio& o) {
  for (const CipheredKey& k : kCipheredKeys) {
    if (k.required && IsBlank(o.*k.field)) return true;
  }
  return false;
}

}  // namespace

std::filesystem::path TInicio::IniPath() const {
  return std::filesystem::path(cRuta + cIniFile);
}

TInicio TInicio::New(const std::filesystem::path& program_dir,
                     ui::Platform& platform, bool& lOk) {
  TInicio o;
  o.nLapso = kDefaultLapso;
  o.cIniFile = kIniFileName;
  // The directory as given, case kept, with one trailing separator.
  std::string dir = program_dir.string();
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir.empty()) dir = ".";
  o.cRuta = dir == "/" ? dir : dir + "/";
  o.cModalidad = kModalityPlaceholder;
  o.cEmpresa = "01";
  o.cSucursal = o.cBodega = o.cLista = "   ";
  o.cCollation.clear();
  o.cCollationOrigen.clear();

  IniFile ini(o.IniPath());
  ini.Load();  // a missing file reads as one without keys
  for (const CipheredKey& k : kCipheredKeys) {
    o.*k.field = ini.GetString(k.section, k.key);
  }
  o.cDestinatario = ini.GetString(kSectionOther, kKeyDestinatario);
  o.nLapso = ini.GetInt(kSectionOther, kKeyLapso);
  o.ListaVenta = ini.GetString(kSectionOther, kKeyListaVenta);
  o.ListaCompra = ini.GetString(kSectionOther, kKeyListaCompra);
  o.ListaInterna = ini.GetString(kSectionOther, kKeyListaInterna);

  // The check is made on the stored text, before deciphering.
  if (AnyRequiredBlank(o)) {
    const std::string blank200(200, ' ');
    const std::string blank8(8, ' ');
    for (const CipheredKey& k : kCipheredKeys) o.*k.field = blank200;
    o.cDestinatario = blank200;
    o.nLapso = kDefaultLapso;
    o.ListaVenta = o.ListaCompra = o.ListaInterna = blank8;
    platform.Stop("Conexiones no definidas", "ATENCION");
    lOk = false;
    return o;
  }

  for (const CipheredKey& k : kCipheredKeys) {
    o.*k.field = Encriptar(Trim(o.*k.field), 2);
  }
  o.cDestinatario = Trim(o.cDestinatario);
  if (o.nLapso == 0) o.nLapso = kDefaultLapso;
  o.ListaVenta = Trim(o.ListaVenta);
  o.ListaCompra = Trim(o.ListaCompra);
  o.ListaInterna = Trim(o.ListaInterna);
  lOk = true;
  return o;
}

bool TInicio::Actualizar(ui::Platform& platform, ConnectionChecker& checker) {
  for (const CipheredKey& k : kCipheredKeys) this->*k.field = Trim(this->*k.field);
  cDestinatario = Trim(cDestinatario);
  if (nLapso == 0) nLapso = kDefaultLapso;
  ListaVenta = Trim(ListaVenta);
  ListaCompra = Trim(ListaCompra);
  ListaInterna = Trim(ListaInterna);

  if (AnyRequiredBlank(*this)) {
    platform.Stop("Debe completar todos los datos. Grabación no se efectuó",
                  "ATENCION");
    return false;
  }

  // Every value must survive the file's code page: a character replaced on
  // the way would save a password or name other than the one just tested.
  std::string stored[std::size(kCipheredKeys)];
  bool storable = true;
  for (size_t i = 0; i < std::size(kCipheredKeys); ++i) {
    std::optional<std::string> hex = EncipherValue(this->*kCipheredKeys[i].field);
    if (!hex) storable = false;
    else stored[i] = *hex;
  }
  for (const std::string* clear :
       {&cDestinatario, &ListaVenta, &ListaCompra, &ListaInterna}) {
    if (!ToCp1252(*clear)) storable = false;
  }
  if (!storable) {
    platform.Stop(
        "Los datos contienen caracteres que no se pueden grabar. Grabación no "
        "se efectuó",
        "ATENCION");
    return false;
  }

  // A save ends the current connection; the next cycle opens a new one.
  if (oODBC) {
    checker.EndConnection(oODBC);
    oODBC.reset();
  }

  // The password is never shown in clear.
  if (!checker.CanConnect(cDSN, cUser, cPassword)) {
    platform.Stop("Fallo de conexion hacia origen : " + cDSN + " " + cUser +
                      " " + kMaskedPassword,
                  "Stop");
    return false;
  }
  if (!checker.CanConnect(cDSNDestino, cUserDestino, cPasswordDestino)) {
    platform.Stop("Fallo de conexion hacia destino : " + cDSNDestino + " " +
                      cUserDestino + " " + kMaskedPassword,
                  "Stop");
    return false;
  }

  IniFile ini(IniPath());
  ini.Load();  // keep whatever else the file holds
  for (size_t i = 0; i < std::size(kCipheredKeys); ++i) {
    ini.SetString(kCipheredKeys[i].section, kCipheredKeys[i].key, stored[i]);
  }
  ini.SetString(kSectionOther, kKeyDestinatario, cDestinatario);
  ini.SetInt(kSectionOther, kKeyLapso, nLapso);
  ini.SetString(kSectionOther, kKeyListaVenta, ListaVenta);
  ini.SetString(kSectionOther, kKeyListaCompra, ListaCompra);
  ini.SetString(kSectionOther, kKeyListaInterna, ListaInterna);
  std::string error;
  if (!ini.Save(&error)) {
    platform.Stop("No se pudo grabar la configuración (" + error +
                      "). Grabación no se efectuó",
                  "ATENCION");
    return false;
  }

  platform.Information(
      "Su configuración fue grabada. Reingrese al sistema para que sus "
      "cambios tomen efecto",
      "ATENCION");
  return true;
}

}  // namespace config
