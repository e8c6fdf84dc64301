// Status: the result of an operation that can fail. No exception crosses a
// module boundary in this program; every operation that touches a file, a
// folder or a process returns a Status, and only the front-ends turn it into
// a message box or an exit code.
//
// A failed Status has a kind, so that a caller can tell "there is no such
// file" from "the file is there but cannot be read" or "the file is
// damaged", and a message that names the file and what went wrong.
#ifndef JKRESCALE_PLATFORM_STATUS_H_
#define JKRESCALE_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace jk {

class [[nodiscard]] Status {
 public:
  enum class Kind {
    kOk,
    // The file, folder or program is not there.
    kNotFound,
    // It is there, but the system refused or failed to read, write, create
    // or remove it (no permission, a full disk, a device error...).
    kIoError,
    // Its content cannot be what it claims to be: a damaged archive, an
    // entry whose data lies outside its file, an unsafe entry name.
    kDamaged,
    // What the user asked for cannot be done as asked: a factor that is no
    // number, a level the archive does not hold, a folder the game cannot
    // take.
    kInvalid,
    // The user stopped the operation.
    kCancelled,
  };

  Status() = default;

  static Status Ok() { return Status(); }
  // "'path': what" is the form of every message about a file.
  static Status NotFound(const std::string& path, const std::string& what) {
    return Status(Kind::kNotFound, AboutFile(path, what));
  }
  static Status IoError(const std::string& path, const std::string& what) {
    return Status(Kind::kIoError, AboutFile(path, what));
  }
  static Status Damaged(const std::string& path, const std::string& what) {
    return Status(Kind::kDamaged, AboutFile(path, what));
  }
  static Status Invalid(std::string message) { return Status(Kind::kInvalid, std::move(message)); }
  static Status Cancelled(std::string message) {
    return Status(Kind::kCancelled, std::move(message));
  }
  // A failure of `kind` with a message of its own.
  static Status Failure(Kind kind, std::string message) { return Status(kind, std::move(message)); }

  bool ok() const { return kind_ == Kind::kOk; }
  Kind kind() const { return kind_; }
  bool IsNotFound() const { return kind_ == Kind::kNotFound; }
  bool IsCancelled() const { return kind_ == Kind::kCancelled; }
  const std::string& message() const { return message_; }

 private:
  Status(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
  static std::string AboutFile(const std::string& path, const std::string& what) {
    return "'" + path + "': " + what;
  }

  Kind kind_ = Kind::kOk;
  std::string message_;
};

// The outcome of an operation and of the clean-up after it: the first
// failure, with the second's message on a line of its own when both failed.
inline Status Joined(const Status& first, const Status& second) {
  if (first.ok()) return second;
  if (second.ok()) return first;
  return Status::Failure(first.kind(), first.message() + "\n" + second.message());
}

}  // namespace jk

// Returns from the calling function when `expr` yields a failed Status.
#define JK_RETURN_IF_ERROR(expr)             \
  do {                                       \
    ::jk::Status jk_status_ = (expr);        \
    if (!jk_status_.ok()) return jk_status_; \
  } while (0)

#endif  // JKRESCALE_PLATFORM_STATUS_H_
