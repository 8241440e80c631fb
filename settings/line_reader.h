// Reads a file line by line, each line whole however long it is.
#ifndef LAUNCHER_SETTINGS_LINE_READER_H_
#define LAUNCHER_SETTINGS_LINE_READER_H_

#include <string>

#include "settings/text_encoding.h"

class InputFile;

class LineReader {
 public:
  // With |ctrl_z_ends_text| a Ctrl-Z ends a file of bytes (not a UTF-16
  // one) as the Windows runtime's text mode ends it.
  explicit LineReader(InputFile& file, bool ctrl_z_ends_text = false);

  // The next line without its line feed (and without a carriage return
  // just before it); a UTF-8 byte order mark at the start of the file is
  // skipped, and a file that starts with the UTF-16LE one is read as UTF-16
  // and handed out in UTF-8. False when the file has no more lines.
  bool next_line(std::string* line);

  // True once a read has failed: the lines given so far are not the whole
  // file.
  bool failed() const { return failed_; }

 private:
  bool fill();
  // Ends the text at the first Ctrl-Z in the buffer from |from| on.
  void cut_at_ctrl_z(size_t from);

  InputFile& file_;
  std::string buffer_;
  size_t position_ = 0;
  bool at_start_ = true;
  bool at_end_ = false;
  bool failed_ = false;
  bool utf16_ = false;
  const bool ctrl_z_ends_text_;
  bool cuts_at_ctrl_z_ = false;  // once the file is known to be bytes
  std::string raw_;  // one chunk of UTF-16 as read
  Utf16Decoder decoder_;
};

#endif  // LAUNCHER_SETTINGS_LINE_READER_H_
