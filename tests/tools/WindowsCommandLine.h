// The command line of a Windows process, built so that the C runtime of the
// started program splits it back into exactly the given arguments.
#pragma once

#include <string>
#include <vector>

namespace TolvexTest {

// Joins the arguments with blanks. An argument that is empty or holds a blank, a
// tab, a line break or a double quote is put between double quotes; inside them a
// double quote is written \" and the backslashes before a double quote (including
// the closing one) are doubled. Backslashes elsewhere stand as they are.
//
// The first argument is the program's path, which the runtime reads by simpler
// rules (up to the closing quote, backslashes literal); a path holds no double
// quote and does not end in a backslash, so the same quoting serves it.
std::string WindowsCommandLine(const std::vector<std::string>& arguments);

}  // namespace TolvexTest
