// Failures of event handlers: what a failure path catches and the run-time error report shows.
#pragma once

#include <exception>
#include <string>

namespace tovrel {

enum class ErrorNumber {
  Overflow = 6,
  FileNotFound = 53,
  PermissionDenied = 70,
  PathFileAccessError = 75,
};

class Failure : public std::exception {
 public:
  explicit Failure(ErrorNumber number) : number_(number) {}
  ErrorNumber number() const { return number_; }
  const char* what() const noexcept override;

 private:
  ErrorNumber number_;
};

/// The Korean description of an error.
std::string error_description(ErrorNumber number);

/// The text of the run-time error report for a failure that no handler caught.
std::string runtime_error_report(const Failure& failure);

}  // namespace tovrel
