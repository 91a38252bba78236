#pragma once

#include <stdexcept>
#include <string>

namespace tolvenmark {

// Thrown when a number, date or time text does not convert; what() is the
// message the user sees in the general error box.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Any other failure that ends an operation with a message for the user
// (a skin that does not load, a file that cannot be written).
class OperationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace tolvenmark
