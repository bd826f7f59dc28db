// Failures of event handlers: what a failure path catches and the run-time error report shows.
#pragma once

#include <exception>
#include <string>

namespace tovrel {

enum class ErrorNumber {
  Overflow = 6,
  OutOfMemory = 7,
  InternalError = 51,  // anything raised that is not one of the program's own failures
  FileNotFound = 53,
  PermissionDenied = 70,
  PathFileAccessError = 75,
  PathNotFound = 76,
};

/// One of the program's own failures, with the number the run-time error report gives.
class Failure : public std::exception {
 public:
  explicit Failure(ErrorNumber number) : number_(number) {}
  ErrorNumber number() const { return number_; }
  const char* what() const noexcept override;

 private:
  ErrorNumber number_;
};

/// Unwinds the handler that ended the program where the system could not end the process at once
/// (a test's). It is not a failure: no failure path catches it.
struct ProgramEnd {};

/// The failure that the exception being handled stands for: the program's own, out of memory, or
/// an internal error for anything else. Call it only inside a catch block.
Failure current_failure();

/// Runs a handler's statements with its failure path armed: anything they raise, other than the
/// end of the program, abandons them and continues in the failure path. A failure inside the
/// failure path is not caught again.
template <class Statements, class FailurePath>
void with_failure_path(Statements&& statements, FailurePath&& failure_path) {
  try {
    statements();
  } catch (const ProgramEnd&) {
    throw;
  } catch (...) {
    failure_path();
  }
}

/// The text of the run-time error report for a failure that no handler caught.
std::string runtime_error_report(const Failure& failure);

}  // namespace tovrel
