// Reads a file line by line, each line whole however long it is.
#ifndef LAUNCHER_SETTINGS_LINE_READER_H_
#define LAUNCHER_SETTINGS_LINE_READER_H_

#include <string>

#include "settings/text_encoding.h"

class InputFile;

class LineReader {
 public:
  explicit LineReader(InputFile& file);

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

  InputFile& file_;
  std::string buffer_;
  size_t position_ = 0;
  bool at_start_ = true;
  bool at_end_ = false;
  bool failed_ = false;
  bool utf16_ = false;
  std::string raw_;  // one chunk of UTF-16 as read
  Utf16Decoder decoder_;
};

#endif  // LAUNCHER_SETTINGS_LINE_READER_H_
