#include "settings/line_reader.h"

#include "launcher/system.h"

namespace {

// One page: a typical INI file fits in it, and a larger chunk would only
// zero-fill pages that its read never reaches.
constexpr size_t kChunkSize = 4096;
const char kByteOrderMark[] = "\xEF\xBB\xBF";
const char kUtf16ByteOrderMark[] = "\xFF\xFE";  // little-endian

}  // namespace

LineReader::LineReader(InputFile& file, bool ctrl_z_ends_text)
    : file_(file), ctrl_z_ends_text_(ctrl_z_ends_text) {}

void LineReader::cut_at_ctrl_z(size_t from) {
  size_t mark = buffer_.find('\x1A', from);
  if (mark == std::string::npos) return;
  buffer_.resize(mark);
  at_end_ = true;
}

// Moves the unread rest to the front and appends the next chunk; false at
// the end of the file or after a read error.
bool LineReader::fill() {
  if (at_end_) return false;
  buffer_.erase(0, position_);
  position_ = 0;
  size_t count = 0;
  if (utf16_) {
    raw_.resize(kChunkSize);
    if (!file_.read(&raw_[0], kChunkSize, &count)) failed_ = true;
    decoder_.decode(raw_.data(), count, &buffer_);
    if (count == 0) decoder_.finish(&buffer_);
  } else {
    size_t old_size = buffer_.size();
    buffer_.resize(old_size + kChunkSize);
    if (!file_.read(&buffer_[old_size], kChunkSize, &count)) failed_ = true;
    buffer_.resize(old_size + count);
    if (cuts_at_ctrl_z_) cut_at_ctrl_z(old_size);
  }
  if (count == 0) at_end_ = true;
  return count > 0;
}

bool LineReader::next_line(std::string* line) {
  if (at_start_) {
    // The mark may arrive split over reads of a few bytes each.
    while (buffer_.size() < 3 && fill()) {
    }
    if (buffer_.compare(0, 3, kByteOrderMark) == 0) {
      position_ = 3;
    } else if (buffer_.compare(0, 2, kUtf16ByteOrderMark) == 0) {
      // From here on every chunk is decoded as it arrives.
      utf16_ = true;
      const std::string raw = buffer_.substr(2);
      buffer_.clear();
      decoder_.decode(raw.data(), raw.size(), &buffer_);
      if (at_end_) decoder_.finish(&buffer_);
    }
    // In UTF-16 a byte 0x1A is part of characters such as U+041A.
    cuts_at_ctrl_z_ = ctrl_z_ends_text_ && !utf16_;
    if (cuts_at_ctrl_z_) cut_at_ctrl_z(position_);
    at_start_ = false;
  }

  size_t scanned = position_;
  for (;;) {
    size_t feed = buffer_.find('\n', scanned);
    if (feed != std::string::npos) {
      size_t end = feed;
      if (end > position_ && buffer_[end - 1] == '\r') --end;
      line->assign(buffer_, position_, end - position_);
      position_ = feed + 1;
      return true;
    }
    scanned = buffer_.size() - position_;  // offset survives the move in fill()
    if (!fill()) break;
    scanned += position_;
  }

  if (position_ >= buffer_.size()) return false;
  line->assign(buffer_, position_, std::string::npos);
  position_ = buffer_.size();
  return true;
}
