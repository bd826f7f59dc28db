// Permission checks that hold even when the tests run as root.
#pragma once

#include <functional>

namespace tovrel::testing {

/// Runs a check in a child process with the rights of an ordinary user; returns what the check
/// returned.
bool as_ordinary_user(const std::function<bool()>& check);

}  // namespace tovrel::testing
