// Document numbering: the successor rule, and the seller's next free number
// against a scripted database: first number, successive numbers, numbers taken
// by others, the limit of 50 taken candidates, the customer's inbox documents,
// an exhausted counter, a failed recording insert.
#include "orders/numbering.h"

#include <gtest/gtest.h>

#include "orders_fixture.h"

namespace orders {
namespace {



TEST(ValsgtecarTest, SuccessorOfTheTrailingRun) {
  const std::pair<const char*, const char*> cases[] = {
      {"0000000041", "0000000042"}, {"A-0099", "A-0100"}, {"NV7", "NV8"},
      {"ABC", "ABC"},               {"", ""},             {"0000000009", "0000000010"},
      {"X9", "X10"},                {"12A", "12A"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(VALSGTECAR(in), out) << in;
}

TEST(ValsgtecarTest, HasSuccessorOfTheSameWidth) {
  EXPECT_TRUE(HasSuccessor("0000000041"));
  EXPECT_TRUE(HasSuccessor("A-0989"));
  EXPECT_FALSE(HasSuccessor("9999999999"));
  EXPECT_FALSE(HasSuccessor("A-99"));
  EXPECT_FALSE(HasSuccessor("ABC"));
  EXPECT_FALSE(HasSuccessor(""));
}

const std::vector<db::ColumnDescription> kMaxColumns = {{"MAXNUDO", SQL_VARCHAR, 10, 0}};
const std::vector<db::ColumnDescription> kSeekColumns = {{"VENDEDOR", SQL_CHAR, 3, 0},
                                                         {"NUMERONVV", SQL_CHAR, 10, 0}};

std::string SellerSeek(const std::string& seller, const std::string& number) {
  return "SELECT TOP 1 * FROM VENDEDORYNOTA WHERE VENDEDOR='" + seller + "' AND NUMERONVV='" +
         number + "'";
}

std::string InboxSeek(const std::string& number, const std::string& customer) {
  return "SELECT TOP 1 IDPDAENCA FROM [ERP].dbo.PDAENCA WITH (NOLOCK) WHERE TIDO='NVV' AND "
         "NUDO='" + number + "' AND ENDO='" + customer + "'";
}

class NumberingTest : public orderstest::ScriptedSessionTest {
 protected:
  void Greatest(const std::string& seller, const std::string& number) {
    db_->On(MaxNumberQuery(seller)).Returns(kMaxColumns, {{number}}).Once();
  }
  // Number for `seller` and `customer`; "" with `error` set on failure.
  std::string Next(const std::string& seller, const std::string& customer = "C1") {
    std::string number;
    error_ = "unchanged";
    if (!numbering_.DANUMEDOCPDA(seller, customer, &number, &error_)) return "";
    return number;
  }
  DocumentNumbering numbering_{session_, "[ERP].dbo.PDAENCA"};
  std::string error_;
};

TEST_F(NumberingTest, FirstNumberThenTheNextInTheSameImport) {
  Greatest("V01", "0000000000");
  Greatest("V01", "0000000001");  // the row the first call recorded
  EXPECT_EQ(Next("V01"), "0000000001");
  EXPECT_EQ(Next("V01"), "0000000002");
  EXPECT_EQ(db_->statements(),
            (std::vector<std::string>{
                "SELECT COALESCE(MAX(NUMERONVV),'0000000000') AS MAXNUDO FROM VENDEDORYNOTA "
                "WITH (NOLOCK) WHERE VENDEDOR='V01' ",
                SellerSeek("V01", "0000000001"), InboxSeek("0000000001", "C1"),
                "INSERT INTO VENDEDORYNOTA (VENDEDOR,NUMERONVV) VALUES ('V01','0000000001') ",
                MaxNumberQuery("V01"), SellerSeek("V01", "0000000002"),
                InboxSeek("0000000002", "C1"), RecordNumberStatement("V01", "0000000002")}));
}

TEST_F(NumberingTest, NumberTakenBetweenTheQueryAndTheCheckIsSkipped) {
  Greatest("V01", "0000000007");
  db_->On(SellerSeek("V01", "0000000008")).Returns(kSeekColumns, {{"V01", "0000000008"}});
  EXPECT_EQ(Next("V01"), "0000000009");
  EXPECT_EQ(db_->statements().back(), RecordNumberStatement("V01", "0000000009"));
}

TEST_F(NumberingTest, FiftyTakenNumbersAreSkippedTheFiftyFirstGivesUp) {
  for (int taken : {50, 51}) {
    SCOPED_TRACE(taken);
    db_ = std::make_shared<orderstest::ScriptedConnection>();
    session_.OODBC = db_;
    Greatest("V01", "0000000100");
    db_->OnPrefix("SELECT TOP 1 * FROM VENDEDORYNOTA")
        .Returns(kSeekColumns, {{"V01", "x"}})
        .Times(taken);
    const std::string number = Next("V01", "C" + std::to_string(taken));
    if (taken == 50) {
      EXPECT_EQ(number, "0000000151");
    } else {
      EXPECT_EQ(number, "");
      EXPECT_EQ(error_, "");  // the problem line reads "Problema -> "
      for (const auto& s : db_->statements()) EXPECT_EQ(s.rfind("INSERT", 0), std::string::npos);
    }
  }
}

TEST_F(NumberingTest, CustomerDocumentsTakeTheNumberAcrossSellers) {
  // The inbox already holds NVV 0000000005 for customer C1 (another seller's).
  Greatest("V01", "0000000004");
  db_->On(InboxSeek("0000000005", "C1")).Returns({{"IDPDAENCA", SQL_INTEGER, 10, 0}}, {{"7"}});
  EXPECT_EQ(Next("V01", "C1"), "0000000006");
  // An earlier order of this import for C2 got 0000000003 from V02; V03's
  // counter reaches the same number for C2 and moves on; for C3 it is free.
  Greatest("V02", "0000000002");
  Greatest("V03", "0000000002");
  Greatest("V03", "0000000002");
  EXPECT_EQ(Next("V02", "C2"), "0000000003");
  EXPECT_EQ(Next("V03", "C2   "), "0000000004");  // padded as read from char(13)
  EXPECT_EQ(Next("V03", "C3"), "0000000003");
}

TEST_F(NumberingTest, ExhaustedCounterGivesUpNamingTheSeller) {
  Greatest("V09", "9999999999");
  EXPECT_EQ(Next("V09"), "");
  EXPECT_EQ(error_, ExhaustedCounterText("V09"));
  EXPECT_NE(error_.find("V09"), std::string::npos);
  // A counter that runs out while skipping taken numbers gives up the same way.
  Greatest("V07", "9999999998");
  db_->On(SellerSeek("V07", "9999999999")).Returns(kSeekColumns, {{"V07", "9999999999"}});
  EXPECT_EQ(Next("V07"), "");
  EXPECT_EQ(error_, ExhaustedCounterText("V07"));
  for (const auto& s : db_->statements()) EXPECT_EQ(s.rfind("INSERT", 0), std::string::npos);
}

TEST_F(NumberingTest, FailedRecordingGivesTheDriversMessage) {
  Greatest("V01", "0000000003");
  db_->OnPrefix("INSERT INTO VENDEDORYNOTA").Fails("duplicate key");
  EXPECT_EQ(Next("V01"), "");
  EXPECT_EQ(error_, "duplicate key");
}

TEST_F(NumberingTest, FailedMaximumQueryStartsFromTheFirstNumber) {
  db_->On(MaxNumberQuery("V01")).Fails("no table");
  db_->On(SellerSeek("V01", "0000000001")).Returns(kSeekColumns, {{"V01", "0000000001"}});
  EXPECT_EQ(Next("V01"), "0000000002");
  EXPECT_FALSE(platform_.messages.empty());  // the cursor reported the failure
  EXPECT_EQ(platform_.wait_depth, 0);
}

TEST_F(NumberingTest, QuotesInSellerAndCustomerAreDoubled) {
  Greatest("O'K", "0000000000");
  EXPECT_EQ(Next("O'K", "D'A"), "0000000001");
  EXPECT_EQ(db_->statements().front(), MaxNumberQuery("O'K"));
  EXPECT_NE(db_->statements().front().find("VENDEDOR='O''K'"), std::string::npos);
  EXPECT_EQ(db_->statements()[2], InboxSeek("0000000001", "D''A"));
  EXPECT_EQ(db_->statements().back(),
            "INSERT INTO VENDEDORYNOTA (VENDEDOR,NUMERONVV) VALUES ('O''K','0000000001') ");
}

}  // namespace
}  // namespace orders
