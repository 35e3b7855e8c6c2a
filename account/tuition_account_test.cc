#include "account/tuition_account.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tuition {
namespace {

constexpr float kStartingBalance = 1200.0F;

TEST(TuitionAccountTest, NewAccountHasEmptyNames) {
  const TuitionAccount account;
  EXPECT_EQ(account.getFirstName(), "");
  EXPECT_EQ(account.getLastName(), "");
}

TEST(TuitionAccountTest, NamesAreKeptApart) {
  TuitionAccount account;
  account.setFirstName("north");
  account.setLastName("south");
  account.setFirstName("east");
  EXPECT_EQ(account.getFirstName(), "east");
  EXPECT_EQ(account.getLastName(), "south");
}

struct PaymentCase {
  const char* name;
  std::vector<float> payments;
  float balance;  // exact, as single precision rounds it
};

std::string nameOf(const testing::TestParamInfo<PaymentCase>& test) { return test.param.name; }

void PrintTo(const PaymentCase& c, std::ostream* os) { *os << c.name; }

class PaymentTest : public testing::TestWithParam<PaymentCase> {};

TEST_P(PaymentTest, LeavesExactSinglePrecisionBalance) {
  TuitionAccount account;
  account.setBalance(kStartingBalance);
  for (const float payment : GetParam().payments) {
    account.payTuition(payment);
  }
  EXPECT_EQ(account.getBalance(), GetParam().balance);
}

INSTANTIATE_TEST_SUITE_P(Payments, PaymentTest,
                         testing::Values(PaymentCase{"None", {}, 1200.0F},
                                         PaymentCase{"Exact", {1200.0F}, 0.0F},
                                         PaymentCase{"TwoHalves", {600.0F, 600.0F}, 0.0F},
                                         PaymentCase{"Overpayment", {1300.0F}, -100.0F},
                                         PaymentCase{"Negative", {-100.0F}, 1300.0F},
                                         PaymentCase{"Zero", {0.0F}, 1200.0F},
                                         // 1199.99 is held as 1199.989990234375.
                                         PaymentCase{"NotQuiteAll", {1199.99F}, 0.010009765625F},
                                         // Still owed: 0.01 is not exactly representable either.
                                         PaymentCase{"RoundingRemainder",
                                                     {1199.99F, 0.01F},
                                                     9.76584851741790771484375e-6F}),
                         nameOf);

// How many equal payments it takes to bring the balance to zero or below.
int paymentsToSettle(float amount) {
  TuitionAccount account;
  account.setBalance(kStartingBalance);
  int count = 0;
  while (account.getBalance() > 0.0F) {
    account.payTuition(amount);
    ++count;
  }
  return count;
}

// Rounding after every payment is what makes these counts differ from
// 1200 / amount; an account keeping a double would settle at the round number.
TEST(TuitionAccountTest, SmallPaymentsAccumulateSinglePrecisionError) {
  EXPECT_EQ(paymentsToSettle(0.1F), 12002);
  EXPECT_EQ(paymentsToSettle(0.01F), 119915);
  EXPECT_EQ(paymentsToSettle(1.0F), 1200);
}

TEST(TuitionAccountTest, TwelveThousandTenthsLeaveARemainder) {
  TuitionAccount account;
  account.setBalance(kStartingBalance);
  for (int i = 0; i < 12000; ++i) {
    account.payTuition(0.1F);
  }
  EXPECT_NEAR(account.getBalance(), 0.146, 0.001);
  account.payTuition(0.1F);
  account.payTuition(0.1F);
  EXPECT_NEAR(account.getBalance(), -0.054, 0.001);
}

}  // namespace
}  // namespace tuition
