// The error type the library raises for failures a handler may catch and report.
#pragma once
#include <stdexcept>
#include <string>

namespace kv {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace kv
