// The stand-in game program (tools/stand_in_game.cc), for the tests that
// start a real program: where it is, and what it reported.
#ifndef JKRESCALE_TESTS_STAND_IN_FIXTURE_H_
#define JKRESCALE_TESTS_STAND_IN_FIXTURE_H_

#include <string>
#include <vector>

namespace jk {

// The file name the tests give the game's executable: on Windows programs
// end in ".exe"; elsewhere that name would send the game through Wine.
#ifdef _WIN32
inline constexpr const char* kGameFileName = "JK.EXE";
#else
inline constexpr const char* kGameFileName = "JK";
#endif

// The stand-in game program built beside the test program.
std::string StandInGamePath();

// The lines of the report the stand-in game left in `folder` (its working
// folder); none when there is no report.
std::vector<std::string> StandInReport(const std::string& folder);

// The first lines of the stand-in game's report when the game was started
// as `executable` with the game's switches and `path_value`, in
// `working_folder`: its command line (on Windows), its arguments and its
// working folder.
std::vector<std::string> StartOfReport(const std::string& executable, const std::string& path_value,
                                       const std::string& working_folder);

}  // namespace jk

#endif  // JKRESCALE_TESTS_STAND_IN_FIXTURE_H_
