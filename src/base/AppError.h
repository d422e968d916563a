#pragma once

#include <QString>
#include <stdexcept>

namespace sonivera {

// Error numbers the program reacts to by name. The database layer maps its
// own failures onto them.
namespace errnum {
constexpr long kSubscriptOutOfRange = 9;
constexpr long kTypeMismatch = 13;
constexpr long kOverflow = 6;
constexpr long kPermissionDenied = 70;
constexpr long kPathNotFound = 76;
constexpr long kFileNotFound = 3024;    // the database file cannot be created or found
constexpr long kBadPassword = 3031;     // the password does not open the database
constexpr long kDatabaseInUse = 3706;   // another program holds the database
constexpr long kDatabaseError = 3049;   // damaged file or any other engine failure
constexpr long kFieldTooLong = 3163;    // a text longer than its field
constexpr long kRelationBroken = 3201;  // a row without its patient, or a patient with rows
constexpr long kDuplicateKey = 3022;    // a key that exists already
}  // namespace errnum

// A failure with the number and description that reports show.
class AppError : public std::runtime_error {
 public:
  AppError(long number, const QString& description)
      : std::runtime_error(description.toStdString()), number_(number), description_(description) {}
  long Number() const { return number_; }
  const QString& Description() const { return description_; }

 private:
  long number_;
  QString description_;
};

}  // namespace sonivera
