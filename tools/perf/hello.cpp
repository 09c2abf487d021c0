// The smallest console program built like dorvane.exe: the yardstick for
// process start-up under Wine.
#include <cstdio>

int main() {
  std::fputs("hello\r\n", stdout);
  return 0;
}
