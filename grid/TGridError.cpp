// TGridError: the one exception type the library raises.
#include <gridsnip/grid/TGridError.h>

TGridError::TGridError(const std::string& message) : std::runtime_error(message) {}

TGridError::TGridError(const char* message) : std::runtime_error(message) {}

// Defined out of line so the class has one home for its vtable.
TGridError::~TGridError() = default;
