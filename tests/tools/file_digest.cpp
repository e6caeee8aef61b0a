// Prints the installer's SHA-1 of each file named on the command line in the
// format of sha1sum, so that an independent tool can check it.
#include <cstdio>

#include "update/download_verification.h"

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    FileHash hash;
    std::printf("%s  %ls\n", hash.HexDigestOfFile(argv[i], false).c_str(), argv[i]);
  }
  return 0;
}
