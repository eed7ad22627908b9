// TGridError: the one exception type the library raises; what() is exactly the message.
#pragma once

#include <stdexcept>
#include <string>

// Every library failure is a TGridError. The message ends with the class and
// operation that raised it, for example "Index is out of range in TAxis::GetPoint".
class TGridError : public std::runtime_error {
  public:
    explicit TGridError(const std::string& message);
    explicit TGridError(const char* message);
    ~TGridError() override;
};
