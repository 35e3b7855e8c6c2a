#ifndef TUITION_ACCOUNT_TUITION_ACCOUNT_H_
#define TUITION_ACCOUNT_TUITION_ACCOUNT_H_

#include <string>

#include "account/single_precision.h"

namespace tuition {

// What is known about the one person whose tuition is being paid: the two
// names and what is still owed. It does no input or output and judges nothing;
// deciding which payments to accept is the dialogue's business.
//
// A balance above zero means money is owed; zero or below means the tuition is
// settled. The balance is single precision on purpose: the amounts a user types
// are rounded to float, and so is the balance after every payment, which is why
// payments such as 0.1 leave a small remainder that a double would not.
class TuitionAccount {
 public:
  // Names are taken and returned by value: the account owns its texts, and no
  // one else ever holds a reference into them.
  void setFirstName(std::string name);
  void setLastName(std::string name);
  void setBalance(float amount);

  std::string getFirstName() const;
  std::string getLastName() const;

  // The payment loop calls getBalance and payTuition for every payment,
  // millions of times when a script feeds a file of them: both are defined
  // here, where the compiler can inline them.
  float getBalance() const { return balance; }
  // Subtracts `amount` from the balance in single precision. A negative amount
  // raises the balance and an overpayment takes it below zero.
  void payTuition(float amount) { balance = roundedToFloat(balance - amount); }

 private:
  std::string firstName;
  std::string lastName;
  // Nothing reads the balance before it is set; zero just keeps it defined.
  float balance = 0.0F;
};

}  // namespace tuition

#endif  // TUITION_ACCOUNT_TUITION_ACCOUNT_H_
