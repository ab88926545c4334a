#include "export/sales_force.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <vector>

#include "db/literals.h"
#include "db/statement.h"

namespace exporter {
namespace {

// ---- VENDEDORES ------------------------------------------------------------

const char kSalespeople[] = "VENDEDORES";

// The select list of #PASO_VENDEDORES with the code and name expressions of
// one source; every other column takes the same constant in every pass.
std::string SalespersonItems(const std::string& code, const std::string& name,
                             const std::string& coll) {
  return Join({CastItem(code, "VARCHAR(20)", coll, "ID_VENDEDOR"),
               CastItem("''", "VARCHAR(10)", coll, "PASSWORD_VENDEDOR"),
               CastItem(name, "VARCHAR(40)", coll, "NOMBRE_VENDEDOR"),
               CastItem("''", "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
               CastItem("''", "VARCHAR(1)", coll, "ACTIVO"),
               CastItem("''", "VARCHAR(14)", coll, "FECHA_HORA_ULT_CARGA"),
               CastItem("''", "VARCHAR(14)", coll, "FECHA_HORA_ULT_GENER"),
               CastItem("''", "VARCHAR(14)", coll, "FECHA_HORA_ULT_DESC"),
               CastItem("''", "VARCHAR(1)", coll, "INDICADOR_ACCION"),
               CastItem("'1'", "VARCHAR(1)", coll, "ES_VENDEDOR_HH"),
               CastItem("''", "VARCHAR(1)", coll, "GENERAR_CARTERA_COMPLETA"),
               CastItem("''", "CHAR(2)", coll, "tipo_vende"),
               CastItem("0", "NUMERIC(6,0)", "", "cod_norvocenter"),
               CastItem("''", "VARCHAR(20)", coll, "DESCUENTO_MAXIMO_VENDEDOR"),
               CastItem("''", "VARCHAR(20)", coll, "DESCUENTO_MAXIMO_ARTICULO"),
               CastItem("''", "VARCHAR(1)", coll, "NO_REPETIR_ENCUESTAS")},
              ", ");
}

// Drop, create with the placeholder row, fill from `fill_source`, stamp, and
// insert the codes the destination lacks. The insert differs from the common
// shape (SELECT DISTINCT, no hint on the staging table, empty codes left out),
// so it is composed here.
StatementList SalespersonPass(const std::string& dest, const std::string& coll,
                              const std::string& fill) {
  const std::string staging = StagingTable(kSalespeople);
  return {
      DropStaging(kSalespeople),
      "SELECT " + SalespersonItems("'sinclasificar'", "'vendedor sin clasificar'", coll) +
          " INTO " + staging,
      "INSERT INTO " + staging + " " + fill,
      StampStatement(kSalespeople),
      "INSERT INTO " + dest + " SELECT DISTINCT * FROM " + staging +
          " WHERE NOT EXISTS ( SELECT * FROM " + dest +
          " AS X WITH (NOLOCK) WHERE X.ID_VENDEDOR=" + staging + ".ID_VENDEDOR ) AND COALESCE(" +
          staging + ".ID_VENDEDOR,'')<>''",
  };
}

// A document pass: the distinct salesperson codes of `column` in `table`,
// named "Vendedor " + code.
std::string DocumentFill(const std::string& table, const std::string& column,
                         const std::string& coll) {
  return "SELECT DISTINCT " + SalespersonItems(column, "'Vendedor '+" + column, coll) +
         " FROM " + table + " WITH (NOLOCK)";
}

// The insert of missing rows selecting DISTINCT rows; otherwise the common
// shape. The outer SELECT is looked for after the destination's name, which may
// itself hold any text.
std::string InsertMissingDistinct(const std::string& dest, const std::string& name,
                                  const std::vector<std::string>& keys) {
  std::string insert = InsertMissing(dest, name, keys);
  insert.replace(insert.find(" SELECT * ", ("INSERT INTO " + dest).size()), 10,
                 " SELECT DISTINCT * ");
  return insert;
}

// ---- VENDEDORES_CLIENTES ---------------------------------------------------

const char kAssignments[] = "VENDEDORES_CLIENTES";

// ---- RUTAS -----------------------------------------------------------------

const char kRoutes[] = "RUTAS";

struct Weekday {
  const char* suffix;   // of RUTA{suffix} in MAEEN and DESP_{suffix} in the work table
  const char* english;  // the server's weekday names, upper-cased
  const char* spanish;
};

// Monday first, as the ERP lists its route columns.
const Weekday kWeekdays[] = {
    {"LUN", "MONDAY", "LUNES"},        {"MAR", "TUESDAY", "MARTES"},
    {"MIE", "WEDNESDAY", "MIÉRCOLES"}, {"JUE", "THURSDAY", "JUEVES"},
    {"VIE", "FRIDAY", "VIERNES"},      {"SAB", "SATURDAY", "SÁBADO"},
    {"DOM", "SUNDAY", "DOMINGO"},
};

// The calendar holds today and this many following days.
constexpr int kFollowingDays = 30;

std::chrono::year_month_day ToChrono(const db::Date& date) {
  return std::chrono::year_month_day{std::chrono::year{date.year},
                                     std::chrono::month{static_cast<unsigned>(date.month)},
                                     std::chrono::day{static_cast<unsigned>(date.day)}};
}

db::Date FromChrono(const std::chrono::year_month_day& date) {
  return db::Date{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                  static_cast<int>(unsigned{date.day()})};
}

std::string Digits(const db::Date& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", date.year, date.month, date.day);
  return text;
}

db::Date LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return db::Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

db::Date (*g_date)() = LocalDate;

// The visit flag of a calendar day: the customer's flag of the day's weekday,
// found by the server's weekday name in English or Spanish; NULL for any other
// name.
std::string WeekdayFlag() {
  std::string flag = "(CASE";
  for (const Weekday& day : kWeekdays) {
    flag += std::string(" WHEN UPPER(DATENAME(weekday,F.FECHA)) IN ('") + day.english + "','" +
            day.spanish + "') THEN VC.DESP_" + day.suffix;
  }
  return flag + " ELSE NULL END)";
}

}  // namespace

StatementList VENDEDORES(const std::string& BaseDestino, const std::string& coll) {
  const std::string dest = DestinationTable(BaseDestino, kSalespeople);
  StatementList list =
      SalespersonPass(dest, coll, "SELECT " + SalespersonItems("KOFU", "NOKOFU", coll) +
                                      " FROM TABFU WITH (NOLOCK)");
  list.push_back(UpdateChanged(
      dest, kSalespeople, {"ID_VENDEDOR"},
      {"PASSWORD_VENDEDOR", "NOMBRE_VENDEDOR", "FECHA_ULTIMA_MODIFICACION", "ACTIVO",
       "FECHA_HORA_ULT_CARGA", "FECHA_HORA_ULT_GENER", "FECHA_HORA_ULT_DESC", "INDICADOR_ACCION",
       "ES_VENDEDOR_HH", "GENERAR_CARTERA_COMPLETA", "tipo_vende", "cod_norvocenter",
       "DESCUENTO_MAXIMO_VENDEDOR", "DESCUENTO_MAXIMO_ARTICULO", "NO_REPETIR_ENCUESTAS"},
      {"PASSWORD_VENDEDOR", "NOMBRE_VENDEDOR", "FECHA_HORA_ULT_CARGA", "FECHA_HORA_ULT_GENER",
       "FECHA_HORA_ULT_DESC", "ES_VENDEDOR_HH", "GENERAR_CARTERA_COMPLETA", "tipo_vende",
       "cod_norvocenter", "DESCUENTO_MAXIMO_VENDEDOR", "DESCUENTO_MAXIMO_ARTICULO",
       "NO_REPETIR_ENCUESTAS"}));
  // The document passes end with their insert: updating there would rename
  // every salesperson that documents use to "Vendedor " + code, overwriting the
  // TABFU name pass 1 has just written.
  for (const auto& [table, column] : {std::pair{"MAEDDO", "KOFULIDO"}, {"MAEEDO", "KOFUDO"}}) {
    const StatementList pass = SalespersonPass(dest, coll, DocumentFill(table, column, coll));
    list.insert(list.end(), pass.begin(), pass.end());
  }
  return list;
}

StatementList VENDEDORES_CLIENTES(const std::string& BaseDestino, const std::string& coll) {
  const std::string dest = DestinationTable(BaseDestino, kAssignments);
  const std::string staging = StagingTable(kAssignments);
  const std::string items =
      Join({CastItem("KOFUEN", "VARCHAR(20)", coll, "ID_VENDEDOR"),
            CastItem("KOEN", "VARCHAR(20)", coll, "ID_CUENTA"),
            CastItem("''", "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
            CastItem("''", "VARCHAR(1)", coll, "ACTIVO"),
            CastItem("''", "VARCHAR(1)", coll, "INDICADOR_ACCION"),
            CastItem("LVEN", "VARCHAR(20)", coll, "ID_LISTA_PRECIO"),
            CastItem("0", "VARCHAR(20)", coll, "PORCENTAJE_DESCUENTO"),
            CastItem("''", "VARCHAR(20)", coll, "ID_CONDICION_VENTA")},
           ", ");
  const std::string insert =
      InsertMissingDistinct(dest, kAssignments, {"ID_VENDEDOR", "ID_CUENTA"});
  return {
      DropStaging(kAssignments),
      "SELECT " + items + " INTO " + staging +
          " FROM MAEEN WITH (NOLOCK) WHERE TIPOSUC='P' AND COALESCE(KOFUEN,'')<>''",
      "UPDATE " + staging + " SET ID_CUENTA=RTRIM(ID_CUENTA)",
      StampStatement(kAssignments),
      "UPDATE " + staging + " SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
      insert,
      UpdateChanged(dest, kAssignments, {"ID_VENDEDOR", "ID_CUENTA"},
                    {"FECHA_ULTIMA_MODIFICACION", "INDICADOR_ACCION", "ID_LISTA_PRECIO",
                     "PORCENTAJE_DESCUENTO", "ID_CONDICION_VENTA"},
                    {"ID_LISTA_PRECIO", "PORCENTAJE_DESCUENTO", "ID_CONDICION_VENTA"}),
  };
}

StatementList PreparatoryRoutesStatements(const db::Date& today) {
  StatementList list = {
      "DROP TABLE #PASO_VENDEDORES_CLIENTES",
      "DROP TABLE #PASO_FECHAS",
      "DROP TABLE #PASO_FE",
      "SELECT CAST('" + Digits(today) + "' AS DATETIME ) AS FECHA INTO #PASO_FECHAS",
  };
  const std::chrono::sys_days first{ToChrono(today)};
  for (int k = 1; k <= kFollowingDays; ++k) {
    const db::Date day = FromChrono(std::chrono::year_month_day{first + std::chrono::days{k}});
    list.push_back("INSERT INTO #PASO_FECHAS (FECHA) VALUES (CONVERT(varchar(14)," +
                   db::TRANFESQL(day) + ",112))");
  }
  std::string flags;
  for (const Weekday& day : kWeekdays) {
    flags += std::string(",(CASE coalesce(RUTA") + day.suffix +
             ",0) WHEN 0 THEN 'N' ELSE 'S' END) AS DESP_" + day.suffix;
  }
  list.push_back("SELECT KOFUEN AS ID_VENDEDOR,RTRIM(KOEN) AS ID_CUENTA,'' AS ZOEN" + flags +
                 " INTO #PASO_VENDEDORES_CLIENTES FROM MAEEN WITH (NOLOCK) WHERE TIPOSUC='P' AND "
                 "KOFUEN<>''");
  list.push_back("SELECT VC.ID_VENDEDOR,VC.ID_CUENTA,F.FECHA AS FECHA_VISITA," + WeekdayFlag() +
                 " AS ORDEN_VISITA,ZOEN AS ID_RUTA INTO #PASO_FE FROM #PASO_FECHAS AS F, "
                 "#PASO_VENDEDORES_CLIENTES AS VC");
  list.push_back("DELETE FROM #PASO_FE WHERE COALESCE(ORDEN_VISITA,'')='' OR ORDEN_VISITA='N'");
  return list;
}

StatementList RUTAS(db::Session& session, const std::string& BaseDestino,
                    const std::string& coll) {
  // The outcomes are not looked at: a failure shows later, when the batch's
  // third statement finds no #PASO_FE and the runner reports it. Only the
  // error text of the statement that creates #PASO_FE is kept, for the trace
  // line written when an exception interrupts the sequence.
  std::string visits_error;
  try {
    for (const std::string& statement : PreparatoryRoutesStatements(ServiceDate())) {
      if (statement.find(" INTO #PASO_FE ") != std::string::npos) {
        db::EJECUTESQL(session, statement, &visits_error);
      } else {
        db::EJECUTESQL(session, statement);
      }
    }
  } catch (const std::exception&) {
    session.Trace("Problema -> " + visits_error);
  }

  const std::string dest = DestinationTable(BaseDestino, kRoutes);
  const std::string staging = StagingTable(kRoutes);
  const std::string items = Join({CastItem("''", "VARCHAR(20)", coll, "ID_RUTA"),
                                  CastItem("''", "VARCHAR(20)", coll, "ID_VENDEDOR"),
                                  CastItem("''", "VARCHAR(20)", coll, "ID_CUENTA"),
                                  CastItem("''", "VARCHAR(8)", coll, "FECHA_VISITA"),
                                  CastItem("0", "INT", "", "ORDEN_VISITA"),
                                  CastItem("''", "VARCHAR(14)", coll, "FECHA_ULTIMA_MODIFICACION"),
                                  CastItem("''", "VARCHAR(1)", coll, "ACTIVO"),
                                  CastItem("''", "VARCHAR(1)", coll, "INDICADOR_ACCION")},
                                 ", ");
  const std::vector<std::string> keys = {"ID_RUTA", "ID_VENDEDOR", "ID_CUENTA", "FECHA_VISITA"};
  const std::string insert = InsertMissingDistinct(dest, kRoutes, keys);
  return {
      DropStaging(kRoutes),
      "SELECT " + items + " INTO " + staging,
      "INSERT INTO " + staging +
          " (ID_RUTA,ID_VENDEDOR, ID_CUENTA, ORDEN_VISITA,FECHA_VISITA) SELECT "
          "ID_RUTA,RTRIM(ID_VENDEDOR),RTRIM(ID_CUENTA),1, CONVERT(varchar(14),FECHA_VISITA,112) "
          "FROM #PASO_FE",
      StampStatement(kRoutes),
      "UPDATE " + staging + " SET ID_VENDEDOR='sinclasificar' WHERE COALESCE(ID_VENDEDOR,'')=''",
      insert,
      UpdateChanged(dest, kRoutes, keys,
                    {"ORDEN_VISITA", "FECHA_ULTIMA_MODIFICACION", "ACTIVO", "INDICADOR_ACCION"},
                    {"INDICADOR_ACCION"}),
  };
}

db::Date ServiceDate() { return g_date(); }

void SetServiceDate(db::Date (*date)()) { g_date = date ? date : LocalDate; }

}  // namespace exporter
