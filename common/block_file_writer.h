#pragma once
// Writes a large file from many small pieces in blocks of about a megabyte: one system call per
// block instead of one per line, and memory that does not grow with the file.
// One writer is used by one thread. Failures: finish() answers false when the file could not be
// created or any block, or the close, failed; the file may then hold a part of the bytes.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace dravo {

class BlockFileWriter {
public:
    // Creates or empties the file at path.
    explicit BlockFileWriter(const std::string& path);

    bool is_open() const { return file_ != nullptr; }
    void append(std::string_view bytes);
    // Writes what is left and closes the file. True when every byte reached it.
    bool finish();

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    void write_block();

    std::unique_ptr<std::FILE, Closer> file_;
    std::string block_;
    bool written_ = true;
};

}  // namespace dravo
