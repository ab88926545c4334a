#include "orders/order_import.h"

#include <cstdio>

#include "db/cursor.h"
#include "db/local_tables.h"
#include "db/statement.h"
#include "orders/numbering.h"
#include "orders/order_statements.h"
#include "orders/rounding.h"

namespace orders {
namespace {

constexpr const char* kProblemPrefix = "Problema -> ";

std::string RightTrim(const std::string& text) {
  const size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string TimeOfDay(int seconds) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600 % 24, seconds / 60 % 60,
                seconds % 60);
  return text;
}

// A staged line with its ERP price, held from pricing to its update.
struct PricedLine {
  std::string orderId;
  std::string lineId;
  std::string number;  // the header's new number
  double quantity = 0;
  double discount = 0;  // the handheld's DCTOVEN
  double vat = 0;       // POIVLI
  ResolvedPrice price;
};

// One import: the steps in order, every failure leading to the one rollback.
class ImportRun {
 public:
  ImportRun(db::Session& session, const PriceLookup& price, const config::TInicio& ini,
            const std::string& coll, const Clock& clock)
      : session_(session), price_(price), ini_(ini), numbering_(session, InboxHeaders(ini)) {
    const ClockReading now = clock ? clock() : LocalClock();
    sql_ = ComposeImportStatements(ini, coll, TimeOfDay(now.seconds), now.today);
  }

  ImportSummary Run(std::vector<std::string>& problems) {
    ImportSummary summary;
    // Leftovers of an earlier, abandoned import on this connection; usually
    // there are none, so these results are not looked at.
    db::EJECUTESQL(session_, sql_.drop_headers);
    db::EJECUTESQL(session_, sql_.drop_lines);

    // The transaction statements are sent without collecting a message.
    if (!db::EJECUTESQL(session_, sql_.begin)) return Abandon(problems);
    const bool done =
        Exec(sql_.stage_headers) && NumberOrders() && Exec(sql_.head_office) &&
        SetCollisionsAside() && Exec(sql_.insert_headers, &summary.orders) &&
        Exec(sql_.take_keys) && Exec(sql_.stage_lines) && Exec(sql_.product_data) &&
        PriceLines() && Exec(sql_.link_lines) && Exec(sql_.insert_lines, &summary.lines) &&
        Exec(sql_.mark_orders) && Exec(sql_.mark_lines) && Exec(sql_.validate_headers) &&
        Exec(sql_.validate_lines) && Exec(sql_.totals);
    if (!done) return Abandon(problems);
    error_.clear();
    if (!db::EJECUTESQL(session_, sql_.commit)) return Abandon(problems);

    db::EJECUTESQL(session_, sql_.drop_lines);
    db::EJECUTESQL(session_, sql_.drop_headers);
    for (const auto& line : collisions_) problems.push_back(line);
    summary.committed = true;
    return summary;
  }

 private:
  bool Exec(const std::string& sql, long* affected = nullptr) {
    return db::EJECUTESQL(session_, sql, &error_, affected);
  }

  ImportSummary Abandon(std::vector<std::string>& problems) {
    db::EJECUTESQL(session_, sql_.rollback);
    const std::string line = kProblemPrefix + error_;
    problems.push_back(line);
    session_.Trace(line);
    return ImportSummary{};
  }

  // Copies a query's whole result into the local table `name` (left open),
  // so that further statements can run while its rows are walked. A query or
  // copy that fails abandons the import: walking a partial result would import
  // orders unnumbered or unpriced.
  db::LocalTable* CopyToLocal(const std::string& sql, const std::string& name) {
    db::SqlRow row;
    bool found = false;
    db::Cursor cursor = db::CREARCURSOR(session_, row, sql, found);
    if (!cursor) {
      db::LIBERACURSOR(session_, cursor);
      error_ = "SIN EXITO -> " + sql;
      return nullptr;
    }
    const bool copied = db::GENDBF(session_, cursor, row, name, false, "", {}, true, found);
    db::LIBERACURSOR(session_, cursor);
    db::LocalTable* table = copied ? session_.locals.Find(name) : nullptr;
    if (!table) {
      session_.locals.CIERRABORRA(name);
      error_ = "No se pudo crear la tabla local " + name;
    }
    return table;
  }

  // Gives each staged order its seller's next number, in the order read.
  bool NumberOrders() {
    db::LocalTable* headers = CopyToLocal(sql_.read_headers, "PasoE");
    if (!headers) return false;
    bool ok = true;
    for (headers->GoTop(); ok && !headers->Eof(); headers->Skip()) {
      std::string number;
      ok = numbering_.DANUMEDOCPDA(headers->Get("KOFUDO").text(), headers->Get("ENDO").text(),
                                   &number, &error_) &&
           Exec(NumberUpdate(number, headers->Get("ID_PEDIDO").text()));
    }
    session_.locals.CIERRABORRA("PasoE");
    return ok;
  }

  // Takes out of the cycle every staged header whose document key is taken,
  // remembering a problem line for each.
  bool SetCollisionsAside() {
    db::SqlRow row;
    bool found = false;
    db::Cursor cursor = db::CREARCURSOR(session_, row, sql_.read_collisions, found);
    for (bool more = cursor && found; more; more = db::SKIPSQL(cursor, row) != 0) {
      collisions_.push_back(CollisionProblem(db::VCC(session_, row, "ID_PEDIDO").text(),
                                             db::VCC(session_, row, "NUDO").text(),
                                             db::VCC(session_, row, "ENDO").text()));
    }
    db::LIBERACURSOR(session_, cursor);
    // The removal is what keeps the data sound; a failed read only loses the
    // report, so only the removal can abandon the import.
    return Exec(sql_.drop_collisions);
  }

  // Prices every staged line, then writes the prices and values line by line.
  bool PriceLines() {
    db::LocalTable* lines = CopyToLocal(sql_.read_lines, "Paso");
    if (!lines) return false;
    std::vector<PricedLine> priced;
    for (lines->GoTop(); !lines->Eof(); lines->Skip()) {
      const auto price = price_(ini_.cModalidad, RightTrim(lines->Get("KOPR").text()),
                                RightTrim(lines->Get("ENDO").text()),
                                RightTrim(lines->Get("SUC_CLI").text()), ini_.cEmpresa);
      if (!price.priced()) {
        // No order is imported with a price that is not known.
        session_.locals.CIERRABORRA("Paso");
        error_ = price.status == PriceStatus::kNoSettingsRow
                     ? std::string(kNoSettingsProblem)
                     : UnknownPriceText(price.failed_statement);
        return false;
      }
      priced.push_back({lines->Get("ID_PEDIDO").text(), lines->Get("ID_DETALLE_PEDIDO").text(),
                        RightTrim(lines->Get("NUDOENCA").text()),
                        lines->Get("CAPRCO1").number(), lines->Get("DCTOVEN").number(),
                        lines->Get("POIVLI").number(), price});
    }
    session_.locals.CIERRABORRA("Paso");

    for (const PricedLine& line : priced) {
      const LineValues values =
          ComputeLineValues(line.price.price, line.quantity, line.discount, line.vat);
      PricedLineUpdate update;
      update.number = line.number;
      update.price = line.price.price;
      update.net = values.net;
      update.gross = values.gross;
      for (int i = 0; i < 4; ++i) update.discounts[i] = line.price.discounts[i];
      update.lineId = line.lineId;
      update.orderId = line.orderId;
      if (!Exec(LinePriceUpdate(update))) return false;
    }
    return true;
  }

  db::Session& session_;
  const PriceLookup& price_;
  const config::TInicio& ini_;
  DocumentNumbering numbering_;
  ImportStatements sql_;
  std::string error_;  // the failing step's message
  std::vector<std::string> collisions_;
};

}  // namespace

LineValues ComputeLineValues(double price, double quantity, double discountPercent,
                             double vatPercent) {
  LineValues v;
  v.net = RoundHalfAway(price * quantity * (1.0 - discountPercent / 100.0), 0);
  v.tax = RoundHalfAway(v.net * vatPercent / 100.0, 0);
  v.gross = v.net + v.tax;
  return v;
}

std::string UnknownPriceText(const std::string& failedStatement) {
  return "Precio no resuelto, falló la consulta: " + failedStatement;
}

std::string CollisionProblem(const std::string& orderId, const std::string& number,
                             const std::string& customer) {
  return std::string(kProblemPrefix) + "Pedido " + RightTrim(orderId) +
         " no importado: el documento NVV " + RightTrim(number) + " del cliente " +
         RightTrim(customer) + " ya existe; queda pendiente para el próximo ciclo";
}

ImportSummary SECUENCIAPDA(db::Session& session, const PriceLookup& price,
                           const config::TInicio& ini, std::vector<std::string>& problems,
                           const Clock& clock) {
  return PDAENCAYDETA_PEDIDOS(session, price, ini, CollationClause(ini.cCollationOrigen),
                              problems, clock);
}

ImportSummary SECUENCIAPDA(db::Session& session, PriceResolver& resolver,
                           const config::TInicio& ini, std::vector<std::string>& problems,
                           const Clock& clock) {
  resolver.ClearCache();
  const PriceLookup price = [&resolver](const std::string& modality, const std::string& product,
                                        const std::string& customer,
                                        const std::string& customerBranch,
                                        const std::string& company) {
    return resolver.RESUELVEPRECIO(modality, product, customer, customerBranch, company);
  };
  return SECUENCIAPDA(session, price, ini, problems, clock);
}

ImportSummary PDAENCAYDETA_PEDIDOS(db::Session& session, const PriceLookup& price,
                                   const config::TInicio& ini, const std::string& collationClause,
                                   std::vector<std::string>& problems, const Clock& clock) {
  ImportRun run(session, price, ini, collationClause, clock);
  return run.Run(problems);
}

}  // namespace orders
