// The prefix of the library's build mark (host/BuildMark.cpp): the text after it,
// up to the terminating NUL, is the library's version and build.
#pragma once

#define TOLVEX_BUILD_MARK_PREFIX "@(#)Tolvex29 "
