#include "orders/order_statements.h"

#include <vector>

#include "config/text.h"
#include "db/literals.h"

namespace orders {

using config::Join;
namespace {

// One column of a staging table: name, type of its cast and the expression
// it is filled from. Character columns carry the collation clause so that they
// compare with the ERP's columns whatever the two databases' collations; a
// column without a type keeps the destination's own (the order identifiers).
struct StagingColumn {
  std::string name;
  std::string type;
  std::string expression;
};

bool IsCharacterType(const std::string& type) {
  return type.rfind("varchar", 0) == 0 || type.rfind("char", 0) == 0;
}

std::string SelectInto(const std::vector<StagingColumn>& columns, const std::string& coll,
                       const std::string& table, const std::string& source) {
  std::vector<std::string> items;
  for (const auto& c : columns) {
    if (c.type.empty()) {
      items.push_back(c.expression + " AS " + c.name);
    } else {
      items.push_back("CAST(" + c.expression + " AS " + c.type + " )" +
                      (IsCharacterType(c.type) ? coll : "") + " AS " + c.name);
    }
  }
  return "SELECT " + Join(items, ", ") + " INTO " + table + " " + source;
}

// hh:mm:ss from the six digits of a destination time column.
std::string ClockText(const std::string& column) {
  return "SUBSTRING(" + column + ",1,2)+':'+SUBSTRING(" + column + ",3,2)+':'+SUBSTRING(" +
         column + ",5,2)";
}

// The placeholder number: nine characters of the order id from position 12,
// zeros on the left to ten.
constexpr const char* kPlaceholderNumber = "RIGHT('0000000000'+SUBSTRING(E.ID_PEDIDO,12,9),10)";

// Cuts UTF-8 text to `count` characters.
std::string CutCharacters(const std::string& text, size_t count) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (chars == count) return text.substr(0, i);
      ++chars;
    }
  }
  return text;
}

std::string RightTrim(const std::string& text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

const std::vector<std::string>& HeaderInboxColumns() {
  static const std::vector<std::string> columns = {
      "TIDO",      "NUDO",      "ENDO",    "SUENDO",    "NOKOEN",   "SUDO",    "KOFUDO",
      "ESTADO",    "VALIDO",    "MODALIDAD", "HORULTSIN", "MOVILOBS", "EVENCARAC",
      "MOVILEVEN", "EMPRESA",   "OBSCARAC", "OBS",       "HORAINI",  "HORAFIN", "POSICION",
      "ESTULTSIN", "LINEAS",    "FEEMDO",  "VANEDO",    "VAIVDO",   "VABRDO",  "CRTO",
      "SINDEU",    "FECULTSIN", "TPOGRAB", "TPOPROTRA", "FEER",     "TOTBYTES"};
  return columns;
}

const std::vector<std::string>& LineInboxColumns() {
  static const std::vector<std::string> columns = {
      "TIDO",     "NUDO",     "ENDO",   "SUENDO", "SULIDO",   "BOSULIDO", "KOFULIDO", "TIPR",
      "KOPR",     "KOLTPR",   "TIPOLECTO", "UDTRPR", "UD01PR", "UD02PR",  "ESTADO",   "OBS",
      "NOKOPR",   "VALIDO",   "NULIDO", "PPPRNELT", "CAPRCO1", "RLUDPR",  "PPPRNE",   "PPPRBR",
      "POIVLI",   "VANELI",   "VABRLI", "FEEMLI", "DCTO1",    "DCTO2",    "DCTO3",    "DCTO4",
      "DCTOMAX",  "IDPDAENCA", "CAPRCO2", "DCTOVEN"};
  return columns;
}

}  // namespace

std::string MobileObservation(const std::string& time) {
  return CutCharacters("( Norvo Móvil : " + time + " )", 50);
}

std::string InboxHeaders(const config::TInicio& ini) {
  return db::BracketName(ini.cDSN) + ".dbo.PDAENCA";
}

ImportStatements ComposeImportStatements(const config::TInicio& ini, const std::string& coll,
                                         const std::string& time, const db::Date& today) {
  const std::string dest = db::BracketName(ini.BaseDestino) + ".dbo.";
  const std::string erp = db::BracketName(ini.cDSN) + ".dbo.";
  const std::string orders = dest + "CABECERA_PEDIDOS";
  const std::string details = dest + "DETALLE_PEDIDOS";
  const std::string customers = dest + "CLIENTES";
  const std::string pdaenca = erp + "PDAENCA";
  const std::string pdadeta = erp + "PDADETA";
  const std::string day = db::TRANFESQL(today);
  const std::string empty = "''";

  ImportStatements s;
  s.drop_headers = "DROP TABLE #PASO_PDAENCA";
  s.drop_lines = "DROP TABLE #PASO_PDADETA";
  s.begin = "BEGIN TRANSACTION";
  s.commit = "COMMIT TRANSACTION";
  s.rollback = "ROLLBACK TRANSACTION";

  const std::vector<StagingColumn> headers = {
      {"ID_PEDIDO", "", "E.ID_PEDIDO"},
      {"TIDO", "char(3)", "'NVV'"},
      {"NUDO", "char(10)", kPlaceholderNumber},
      {"ENDO", "char(13)", "LEFT(E.ID_CUENTA,13)"},
      {"SUENDO", "char(10)", "LEFT(E.ID_DIRECCION_ENTREGA,10)"},
      {"NOKOEN", "varchar(50)", "LEFT(EN.RAZON_SOCIAL,50)"},
      {"SUDO", "char(3)", db::QuoteText(ini.cSucursal)},
      {"KOFUDO", "char(3)", "LEFT(E.ID_VENDEDOR,3)"},
      {"ESTADO", "char(1)", empty},
      {"VALIDO", "char(1)", empty},
      {"MODALIDAD", "char(5)", empty},
      {"HORULTSIN", "char(10)", "'0'"},
      {"MOVILOBS", "varchar(50)", "LEFT(E.NOTAS_VENDEDOR,50)"},
      {"EVENCARAC", "char(10)", empty},
      {"MOVILEVEN", "varchar(50)", empty},
      {"EMPRESA", "char(2)", db::QuoteText(ini.cEmpresa)},
      {"OBSCARAC", "char(10)",
       "CASE WHEN COALESCE(E.NOTAS_VENDEDOR,'')='' THEN '' ELSE 'MOVIL-OBS' END"},
      {"OBS", "varchar(50)", db::QuoteText(MobileObservation(time))},
      {"HORAINI", "char(10)", ClockText("E.HORA_INICIO_PEDIDO")},
      {"HORAFIN", "char(10)", ClockText("E.HORA_FIN_PEDIDO")},
      {"POSICION", "varchar(50)",
       "CAST(E.GPS_LATITUD AS varchar(18))+' '+CAST(E.GPS_LONGITUD AS varchar(18))"},
      {"ESTULTSIN", "char(1)", "'0'"},
      {"LINEAS", "int",
       "( SELECT COUNT(*) FROM " + details +
           " AS X WITH (NOLOCK) WHERE X.ID_PEDIDO=E.ID_PEDIDO )"},
      {"FEEMDO", "datetime", "LEFT(E.FECHA_INICIO_PEDIDO,8)"},
      {"VANEDO", "float", "E.MONTO_TOT_PED_C_DTO_S_IMP"},
      {"VAIVDO", "float", "E.MON_TOT_PED_C_DTO_IMP-E.MONTO_TOT_PED_C_DTO_S_IMP"},
      {"VABRDO", "float", "E.MON_TOT_PED_C_DTO_IMP"},
      {"CRTO", "float", empty},
      {"SINDEU", "bit", "0"},
      {"IDPDAENCA", "int", empty},
      {"FECULTSIN", "datetime", empty},
      {"TPOGRAB", "int", "10"},
      {"TPOPROTRA", "int", "5"},
      {"FEER", "datetime", "LEFT(E.FECHA_ENTREGA_PEDIDO,8)"},
      {"TOTBYTES", "int", empty},
  };
  // The destination's orders are read without NOLOCK: a dirty read could take
  // an order whose handheld upload is still being written (or will be rolled
  // back), import part of its lines and mark it processed for good.
  s.stage_headers = SelectInto(headers, coll, "#PASO_PDAENCA",
                               "FROM " + orders + " AS E INNER JOIN " + customers +
                                   " AS EN WITH (NOLOCK) ON EN.ID_CUENTA=E.ID_CUENTA WHERE "
                                   "E.FECHA_PROCESO IS NULL");
  s.read_headers = "SELECT * FROM #PASO_PDAENCA";

  s.head_office = "UPDATE #PASO_PDAENCA SET SUENDO=EN.SUEN FROM " + erp +
                  "MAEEN AS EN WITH (NOLOCK) WHERE #PASO_PDAENCA.ENDO=EN.KOEN AND "
                  "#PASO_PDAENCA.SUENDO='CASAMATRIZ' AND EN.TIPOSUC = 'P'";

  // A staged header whose document key (TIDO, NUDO, ENDO) is already in the
  // inbox, or is shared with another staged header, would merge its lines with
  // another document: it is not imported this cycle.
  const auto collides = [&](const std::string& h) {
    return "EXISTS ( SELECT 1 FROM " + pdaenca + " AS X WITH (NOLOCK) WHERE X.TIDO=" + h +
           ".TIDO AND X.NUDO=" + h + ".NUDO AND X.ENDO=" + h +
           ".ENDO ) OR EXISTS ( SELECT 1 FROM #PASO_PDAENCA AS O WHERE O.TIDO=" + h +
           ".TIDO AND O.NUDO=" + h + ".NUDO AND O.ENDO=" + h + ".ENDO AND O.ID_PEDIDO<>" + h +
           ".ID_PEDIDO )";
  };
  s.read_collisions =
      "SELECT S.ID_PEDIDO,S.NUDO,S.ENDO FROM #PASO_PDAENCA AS S WHERE " + collides("S");
  s.drop_collisions = "DELETE FROM #PASO_PDAENCA WHERE " + collides("#PASO_PDAENCA");

  const std::string header_list = Join(HeaderInboxColumns(), ",");
  s.insert_headers = "INSERT INTO " + pdaenca + " (" + header_list + ") SELECT " + header_list +
                     " FROM #PASO_PDAENCA WHERE NOT EXISTS ( SELECT * FROM " + pdaenca +
                     " AS X WITH (NOLOCK) WHERE X.NUDO=#PASO_PDAENCA.NUDO AND "
                     "X.TIDO=#PASO_PDAENCA.TIDO AND X.ENDO=#PASO_PDAENCA.ENDO )";
  s.take_keys = "UPDATE #PASO_PDAENCA SET IDPDAENCA=E.IDPDAENCA FROM " + pdaenca +
                " AS E WHERE E.EMPRESA=#PASO_PDAENCA.EMPRESA AND E.TIDO=#PASO_PDAENCA.TIDO AND "
                "E.NUDO=#PASO_PDAENCA.NUDO AND E.ENDO=#PASO_PDAENCA.ENDO";

  const std::vector<StagingColumn> lines = {
      {"ID_PEDIDO", "", "E.ID_PEDIDO"},
      {"ID_DETALLE_PEDIDO", "", "D.ID_DETALLE_PEDIDO"},
      {"TIDO", "char(3)", "'NVV'"},
      {"NUDO", "char(10)", kPlaceholderNumber},
      {"ENDO", "char(13)", "LEFT(E.ID_CUENTA,13)"},
      {"SUENDO", "char(10)", empty},
      {"SULIDO", "char(3)", db::QuoteText(ini.cSucursal)},
      {"BOSULIDO", "char(3)", db::QuoteText(ini.cBodega)},
      {"KOFULIDO", "char(3)", "LEFT(E.ID_VENDEDOR,3)"},
      {"TIPR", "char(3)", empty},
      {"KOPR", "char(13)", "LEFT(D.CODIGO_ARTICULO,13)"},
      {"KOLTPR", "char(3)", "RIGHT(LEFT(D.ID_LISTA_PRECIO,8),3)"},
      {"TIPOLECTO", "char(6)", "LEFT(E.TIPO_PEDIDO,6)"},
      {"UDTRPR", "char(2)", "'1'"},
      {"UD01PR", "char(2)", empty},
      {"UD02PR", "char(2)", empty},
      {"ESTADO", "char(1)", empty},
      {"OBS", "varchar(50)", empty},
      {"NOKOPR", "varchar(50)", empty},
      {"VALIDO", "char(1)", empty},
      {"NULIDO", "float", "D.ID_DETALLE_PEDIDO"},
      {"PPPRNELT", "float", "D.PRECIO_UNITARIO_LISTA"},
      {"CAPRCO1", "float", "D.CANTIDAD_PEDIDA"},
      {"DCTOVEN", "float", "D.PORCENTAJE_DESCUENTO_APLICADO"},
      {"FEEMLI", "datetime", "LEFT(E.FECHA_INICIO_PEDIDO,8)"},
      {"PPPRNE", "float", "D.PRECIO_UNITARIO_LISTA"},
      {"RLUDPR", "float", "1"},
      {"PPPRBR", "float", empty},
      {"POIVLI", "float", empty},
      {"VANELI", "float", empty},
      {"VABRLI", "float", empty},
      {"DCTO1", "float", empty},
      {"DCTO2", "float", empty},
      {"DCTO3", "float", empty},
      {"DCTO4", "float", empty},
      {"DCTOMAX", "float", empty},
      {"IDPDAENCA", "int", empty},
      {"CAPRCO2", "float", empty},
  };
  s.stage_lines = SelectInto(lines, coll, "#PASO_PDADETA",
                             "FROM " + details + " AS D INNER JOIN " + orders +
                                 " AS E ON E.ID_PEDIDO=D.ID_PEDIDO INNER JOIN " +
                                 customers +
                                 " AS EN WITH (NOLOCK) ON EN.ID_CUENTA=E.ID_CUENTA WHERE "
                                 "E.FECHA_PROCESO IS NULL");

  // A product whose unit ratio is 0 (or missing) gives a second quantity of 0
  // instead of a division by zero that would fail every import.
  s.product_data =
      "UPDATE #PASO_PDADETA SET UD01PR=P.UD01PR,UD02PR=P.UD02PR,NOKOPR=P.NOKOPR,RLUDPR=P.RLUD,"
      "TIPR=P.TIPR,POIVLI=P.POIVPR,CAPRCO2=CASE WHEN COALESCE(P.RLUD,0)=0 THEN 0 ELSE "
      "CAPRCO1/P.RLUD END FROM " +
      erp + "MAEPR AS P WHERE P.KOPR=#PASO_PDADETA.KOPR";

  s.read_lines =
      "SELECT D.*,E.NUDO AS NUDOENCA,E.SUENDO AS SUC_CLI  FROM #PASO_PDADETA AS D WITH (NOLOCK) "
      " INNER JOIN #PASO_PDAENCA AS E WITH (NOLOCK) ON E.ID_PEDIDO=D.ID_PEDIDO ";

  // Lines take the key of their own order's header, never of another document
  // that happens to carry the same type, number and customer.
  s.link_lines =
      "UPDATE #PASO_PDADETA SET IDPDAENCA=E.IDPDAENCA,SUENDO=E.SUENDO FROM #PASO_PDAENCA AS H "
      "INNER JOIN " +
      pdaenca +
      " AS E ON E.IDPDAENCA=H.IDPDAENCA WHERE H.ID_PEDIDO=#PASO_PDADETA.ID_PEDIDO AND "
      "H.IDPDAENCA<>0 AND E.TIDO=#PASO_PDADETA.TIDO AND E.NUDO=#PASO_PDADETA.NUDO AND "
      "E.ENDO=#PASO_PDADETA.ENDO";
  const std::string line_list = Join(LineInboxColumns(), ",");
  s.insert_lines = "INSERT INTO " + pdadeta + " (" + line_list + ") SELECT " + line_list +
                   " FROM #PASO_PDADETA WHERE COALESCE(IDPDAENCA,0)<>0";

  s.mark_orders = "UPDATE C SET FECHA_PROCESO=" + day + " FROM " + orders +
                  " AS C INNER JOIN #PASO_PDAENCA AS E ON E.ID_PEDIDO=C.ID_PEDIDO WHERE "
                  "COALESCE(E.IDPDAENCA,0)<>0";
  s.mark_lines = "UPDATE C SET FECHA_ULTIMA_MODIFICACION=" + day + " FROM " + details +
                 " AS C INNER JOIN #PASO_PDADETA AS E ON E.ID_PEDIDO=C.ID_PEDIDO AND "
                 "E.ID_DETALLE_PEDIDO=C.ID_DETALLE_PEDIDO WHERE COALESCE(E.IDPDAENCA,0)<>0";
  const std::string staged_headers =
      "( SELECT IDPDAENCA FROM #PASO_PDAENCA WHERE COALESCE(IDPDAENCA,0)<>0 )";
  s.validate_headers =
      "UPDATE " + pdaenca + " SET VALIDO='S' WHERE IDPDAENCA IN " + staged_headers;
  s.validate_lines = "UPDATE " + pdadeta +
                     " SET VALIDO='S' WHERE IDPDAENCA IN ( SELECT IDPDAENCA FROM #PASO_PDADETA "
                     "WHERE COALESCE(IDPDAENCA,0)<>0 )";
  s.totals = "UPDATE E SET VANEDO=( SELECT SUM(L.VANELI) FROM " + pdadeta +
             " AS L WHERE L.IDPDAENCA=E.IDPDAENCA ),VABRDO=( SELECT SUM(L.VABRLI) FROM " +
             pdadeta + " AS L WHERE L.IDPDAENCA=E.IDPDAENCA ) FROM " + pdaenca +
             " AS E WHERE E.IDPDAENCA IN " + staged_headers;
  return s;
}

std::string NumberUpdate(const std::string& number, const std::string& orderId) {
  return "UPDATE #PASO_PDAENCA SET NUDO=" + db::QuoteText(number) +
         " WHERE ID_PEDIDO =" + db::QuoteText(RightTrim(orderId)) + " ";
}

std::string LinePriceUpdate(const PricedLineUpdate& line) {
  const std::string price = db::NACSB(line.price);
  std::string sql = "UPDATE #PASO_PDADETA SET NUDO=" + db::QuoteText(line.number) +
                    ",PPPRNE=" + price + ",PPPRNELT=" + price +
                    ",VANELI=" + db::NACSB(line.net) + ",VABRLI=" + db::NACSB(line.gross);
  for (int i = 0; i < 4; ++i) {
    sql += ",DCTO" + std::to_string(i + 1) + "=" + db::NACSB(line.discounts[i]);
  }
  return sql + " WHERE ID_DETALLE_PEDIDO=" + db::QuoteText(RightTrim(line.lineId)) +
         " AND ID_PEDIDO=" + db::QuoteText(RightTrim(line.orderId));
}

}  // namespace orders
