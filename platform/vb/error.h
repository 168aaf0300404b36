// Run-time errors of the VB run-time, the database engine and the components.
// One exception type carries the error number and its description, so a
// procedure's "error handler" is a catch that looks at Number().
#pragma once

#include <stdexcept>
#include <string>

namespace vb {

class VbError : public std::runtime_error {
  public:
    VbError(int number, std::string description);
    int Number() const noexcept { return number_; }
    const std::string& Description() const noexcept { return description_; }

  private:
    int number_;
    std::string description_;
};

// The run-time's Spanish message text for a run-time error number (the one
// table of texts); unknown numbers give "Error definido por la aplicación o
// por el objeto".
std::string ErrorText(int number);

// Raises error `number` with its table text, or with `description` when given.
[[noreturn]] void Raise(int number);
[[noreturn]] void Raise(int number, std::string description);

// Common numbers.
enum ErrNo : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscript = 9,
    kDivByZero = 11,
    kTypeMismatch = 13,
    kBadFileNameOrNumber = 52,
    kFileNotFound = 53,
    kBadFileMode = 54,
    kFileAlreadyOpen = 55,
    kDeviceIO = 57,
    kFileExists = 58,
    kDiskFull = 61,
    kInputPastEnd = 62,
    kTooManyFiles = 67,
    kDeviceUnavailable = 68,
    kPermissionDenied = 70,
    kDiskNotReady = 71,
    kPathFileAccess = 75,
    kPathNotFound = 76,
    kObjectNotSet = 91,
    kInvalidUseOfNull = 94,
    kInvalidPropertyValue = 380,
    kPrinterError = 482,
};

}  // namespace vb
