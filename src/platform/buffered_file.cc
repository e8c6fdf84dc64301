#include "platform/buffered_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jk {

namespace {

// The first CR or LF in [begin, end), or end.
const char* FindBreak(const char* begin, const char* end) {
  const char* p = begin;
#if defined(__SSE2__)
  // Sixteen bytes at a time, both at once: most lines are short, and two
  // searches, one for each, would each pay for starting.
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned found = unsigned(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    if (found != 0) return p + std::countr_zero(found);
  }
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

}  // namespace

BufferedInputFile::BufferedInputFile(std::string path, int64_t length)
    : path_(std::move(path)), length_(length), buffer_(new char[kBufferSize]) {}

Status BufferedInputFile::Seek(int64_t position) {
  if (position < 0) return Status::IoError(path_, "seek to a negative position");
  // A seek inside the buffer keeps it: the directory walk seeks to every
  // entry, and entries lie next to each other.
  if (position >= buffer_start_ && position <= buffer_start_ + int64_t(size_)) {
    next_ = size_t(position - buffer_start_);
    return Status::Ok();
  }
  buffer_start_ = position;
  next_ = size_ = 0;
  return Status::Ok();
}

Status BufferedInputFile::Fill() {
  buffer_start_ += int64_t(size_);
  next_ = size_ = 0;
  return ReadAt(buffer_start_, buffer_.get(), kBufferSize, &size_);
}

Status BufferedInputFile::Available(bool* available) {
  if (next_ == size_) JK_RETURN_IF_ERROR(Fill());
  *available = next_ < size_;
  return Status::Ok();
}

Status BufferedInputFile::EndOfFile() const {
  return Status::IoError(path_, "unexpected end of file at byte " + std::to_string(Position()));
}

Status BufferedInputFile::ReadLine(int64_t limit, std::string* line) {
  line->clear();
  // Nearly every line lies whole in the buffer, before the limit, with its
  // break (and the LF of a CR LF) there too. (The limit often lies in the
  // buffer: a model is shorter than the buffer, and the next one follows.)
  if (next_ < size_ && Position() < limit) {
    const char* begin = buffer_.get() + next_;
    const char* end = buffer_.get() + size_t(std::min(int64_t(size_), limit - buffer_start_));
    const char* brk = FindBreak(begin, end);
    if (brk + 1 < end) {
      line->assign(begin, brk);
      next_ = size_t(brk - buffer_.get()) + 1 + (*brk == '\r' && brk[1] == '\n');
      return Status::Ok();
    }
  }
  while (Position() < limit) {
    bool available = false;
    JK_RETURN_IF_ERROR(Available(&available));
    if (!available) return line->empty() ? EndOfFile() : Status::Ok();
    size_t stop = size_;
    if (limit - buffer_start_ < int64_t(stop)) stop = size_t(limit - buffer_start_);
    const char* begin = buffer_.get() + next_;
    const char* end = buffer_.get() + stop;
    const char* brk = FindBreak(begin, end);
    line->append(begin, brk);
    next_ = size_t(brk - buffer_.get());
    if (brk == end) continue;  // the line goes on past the buffer or ends at the limit
    ++next_;
    // CR LF is one break: a LF right after a CR (within the limit) goes too.
    if (*brk == '\r' && Position() < limit) {
      JK_RETURN_IF_ERROR(Available(&available));
      if (available && buffer_[next_] == '\n') ++next_;
    }
    return Status::Ok();
  }
  return Status::Ok();
}

Status BufferedInputFile::ReadInt32(int32_t* value) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) {
    bool available = false;
    JK_RETURN_IF_ERROR(Available(&available));
    if (!available) return EndOfFile();
    u |= uint32_t(static_cast<unsigned char>(buffer_[next_++])) << (8 * i);
  }
  *value = static_cast<int32_t>(u);
  return Status::Ok();
}

Status BufferedInputFile::Read(size_t size, std::string* bytes) {
  bytes->clear();
  while (bytes->size() < size) {
    bool available = false;
    JK_RETURN_IF_ERROR(Available(&available));
    if (!available) break;
    size_t take = std::min(size - bytes->size(), size_ - next_);
    bytes->append(buffer_.get() + next_, take);
    next_ += take;
  }
  return Status::Ok();
}

Status BufferedOutputFile::WriteLine(std::string_view text) { return Append(text, "\r\n"); }

Status BufferedOutputFile::Write(std::string_view bytes) { return Append(bytes, {}); }

Status BufferedOutputFile::Append(std::string_view bytes, std::string_view more) {
  if (!status_.ok()) return status_;
  if (closed_) return Status::IoError(path_, "written after it was closed");
  // The buffer takes its whole size at once: grown from empty, line by
  // line, it would copy itself a dozen times for each file.
  if (buffer_.capacity() < kFlushSize) buffer_.reserve(kFlushSize + kFlushSize / 8);
  buffer_.append(bytes);
  // A character at a time: `more` is a line break, and a copy of it would
  // be a call.
  for (char c : more) buffer_.push_back(c);
  if (buffer_.size() >= kFlushSize) Flush();
  return status_;
}

void BufferedOutputFile::Flush() {
  if (buffer_.empty() || !status_.ok()) return;
  status_ = WriteRaw(buffer_);
  if (status_.ok()) written_ += int64_t(buffer_.size());
  buffer_.clear();
}

Status BufferedOutputFile::Close() {
  if (closed_) return status_;
  Flush();
  closed_ = true;
  Status closed = CloseRaw();
  if (status_.ok()) status_ = closed;
  return status_;
}

}  // namespace jk
