// Text forms of the application state and the controls for the scenario
// runner's `print` command. Every form is stable: the same state always
// prints the same lines.
#pragma once

#include <string>
#include <vector>

#include "model/context.h"

namespace pelisto {

// One "NAME: VALUE" line per variable of the application state. Byte arrays
// print as decimal values with runs of four or more equal values written
// VALUE*COUNT; EDITFILE and EDITDATA print one line per row up to the
// larger of EDITCOUNT and LIST1's line count ("(none)" when that is 0).
std::vector<std::string> stateLines(const AppContext& ctx);

// "row N: SOURCE | NAME | c0 c1 c2 c3 c4 c5 c6 c7".
std::string rowLine(const AppState& state, int row);

// "list: N lines, selected S", then "line K: TEXT" for each line.
std::vector<std::string> listLines(const Ui& ui);

// "markerbox: L T R B | L T R B" (start marker, end marker).
std::string markerBoxLine(const AppState& state);

// Decimal values with long runs compressed ("0*600", "3 5 7 0*12").
std::string runLengthText(const uint8_t* values, size_t count);

}  // namespace pelisto
