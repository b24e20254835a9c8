#include "block_file_writer.h"

namespace dravo {
namespace {

constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

}  // namespace

BlockFileWriter::BlockFileWriter(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
    written_ = file_ != nullptr;
}

void BlockFileWriter::append(std::string_view bytes) {
    block_.append(bytes);
    if (block_.size() >= kBlockBytes) {
        write_block();
    }
}

void BlockFileWriter::write_block() {
    if (file_ && !block_.empty()) {
        written_ =
            written_ && std::fwrite(block_.data(), 1, block_.size(), file_.get()) == block_.size();
    }
    block_.clear();
}

bool BlockFileWriter::finish() {
    write_block();
    if (!file_) {
        return false;
    }
    return std::fclose(file_.release()) == 0 && written_;
}

}  // namespace dravo
