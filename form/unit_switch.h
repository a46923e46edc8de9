// Converting one cholesterol text between g/L and mmol/L, through single precision
// as the window always has.
#pragma once

#include <string>

namespace vessane {

// The text a cholesterol value becomes when the unit selector moves to unitIndex
// (0: to mmol/L, multiply; otherwise to g/L, divide). A value beyond single precision
// becomes the error text, which the form reads as out of range.
void ConvertCholesterolText(const std::string& text, int unitIndex, std::string& out);

}  // namespace vessane
