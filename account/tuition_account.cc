#include "account/tuition_account.h"

#include <utility>

namespace tuition {

void TuitionAccount::setFirstName(std::string name) { firstName = std::move(name); }

void TuitionAccount::setLastName(std::string name) { lastName = std::move(name); }

void TuitionAccount::setBalance(float amount) { balance = amount; }

std::string TuitionAccount::getFirstName() const { return firstName; }

std::string TuitionAccount::getLastName() const { return lastName; }

}  // namespace tuition
