// Status: the result of an operation that can fail. No exception crosses a
// module boundary in this program; every operation that touches a file, a
// folder or a process returns a Status whose message names the file and what
// went wrong, and only the front-ends turn it into a message box or an exit
// code.
#ifndef JKRESCALE_PLATFORM_STATUS_H_
#define JKRESCALE_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace jk {

class [[nodiscard]] Status {
 public:
  Status() = default;

  static Status Ok() { return Status(); }
  static Status Error(std::string message) {
    Status s;
    s.ok_ = false;
    s.message_ = std::move(message);
    return s;
  }
  // "'path': what" -- the form of every message about a file.
  static Status FileError(const std::string& path, const std::string& what) {
    return Error("'" + path + "': " + what);
  }

  bool ok() const { return ok_; }
  const std::string& message() const { return message_; }

 private:
  bool ok_ = true;
  std::string message_;
};

}  // namespace jk

// Returns from the calling function when `expr` yields a failed Status.
#define JK_RETURN_IF_ERROR(expr)        \
  do {                                  \
    ::jk::Status jk_status_ = (expr);   \
    if (!jk_status_.ok()) return jk_status_; \
  } while (0)

#endif  // JKRESCALE_PLATFORM_STATUS_H_
