// jkrescale-cli: the scale run without a window.
//
//   jkrescale-cli levels ARCHIVE
//   jkrescale-cli scale ARCHIVE LEVEL FACTOR --resource FILE --out DIR
//                       [--gravity] [--extra FILE]
//
// Exit status: 0 on success, 1 when the run fails (one line on standard
// error names the file and the reason), 2 for a usage error.
#ifndef JKRESCALE_CLI_CLI_H_
#define JKRESCALE_CLI_CLI_H_

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace jk {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs the command line `args` (without the program name). Listings go to
// `out`, messages to `err`; `show_progress` draws the progress line on `err`.
int RunCli(const std::vector<std::string>& args, FileSystem& fs, std::FILE* out,
           std::FILE* err, bool show_progress);

}  // namespace jk

#endif  // JKRESCALE_CLI_CLI_H_
