#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// The file the texts inserted into a conversation are appended to, one UTF-8 line each. A line
// feed in a text is written as "\n", a carriage return as "\r" and a backslash as "\\", so each
// text stays one line and reads back exactly. A line is written whole at once; a write that
// fails is logged and leaves the file as it was. Only a regular file of the user's own is
// appended to, never one behind a symbolic link.
class TranscriptFile {
public:
    explicit TranscriptFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }
    // False (logged) when the line could not be written.
    bool append(const std::string& text) const;
    // The last `count` texts of the file, oldest first, read from at most its last
    // `maximumRead` bytes; none when there is no file, and none (logged) when it is no regular
    // file or cannot be read.
    std::vector<std::string> lastTexts(std::size_t count) const;
    static constexpr std::size_t maximumRead = 4 << 20;
    // The line of a text, with its line end, and the text of a line without its end.
    static std::string line(const std::string& text);
    static std::string text(std::string_view line);

private:
    std::filesystem::path path_;
};

}  // namespace host
