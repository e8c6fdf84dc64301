// The program's version. It is kept in one place, the VERSION of the CMake
// project (CMakeLists.txt), which the build passes to every source of the
// platform layer and to what links it.
#ifndef JKRESCALE_PLATFORM_VERSION_H_
#define JKRESCALE_PLATFORM_VERSION_H_

#ifndef JKRESCALE_VERSION
#error "JKRESCALE_VERSION is set by the build, from the project's VERSION"
#endif

namespace jk {

inline constexpr const char* kVersion = JKRESCALE_VERSION;

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_VERSION_H_
