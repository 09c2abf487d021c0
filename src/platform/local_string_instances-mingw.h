// Forced in front of every source of the MinGW build of dorvane.exe: the
// std::string code the tool uses is then compiled into the tool itself,
// without exceptions, instead of being taken from libstdc++'s prebuilt
// instantiation, which drags in the exception runtime.
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
