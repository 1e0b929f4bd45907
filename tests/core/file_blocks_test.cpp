#include "service/file_blocks.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <string>

#include "scratch_dir.h"

namespace fk::tftp {
namespace {

TEST(FileBlocks, ReadAheadGivesTheBytesAtEveryOffset) {
    fk::testing::ScratchDir dir;
    const std::size_t size = CFileBlocks::kReadAhead * 2 + 777;
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>((i * 31 + i / 4099) & 0xFF);
    const std::string path = dir.Write("image.bin", content);
    CFileBlocks blocks(open(path.c_str(), O_RDONLY | O_CLOEXEC), size);
    struct Read {
        std::uint64_t offset;
        std::size_t length, expected;
    };
    const std::size_t ahead = CFileBlocks::kReadAhead;
    const Read reads[] = {
        {0, 512, 512},
        {512, 512, 512},
        {0, 512, 512},            // back again: a resent window
        {ahead - 100, 512, 512},  // across the end of the read-ahead
        {ahead + 4096, 65464, 65464},
        {2 * ahead, 1468, 777},         // the file's end
        {100, ahead + 10, ahead + 10},  // larger than the read-ahead
        {size, 512, 0},
    };
    for (const auto& r : reads) {
        std::vector<std::uint8_t> out(r.length);
        ASSERT_EQ(blocks.Read(r.offset, out), static_cast<long long>(r.expected)) << r.offset;
        EXPECT_EQ(std::string(out.begin(), out.begin() + static_cast<long>(r.expected)),
                  content.substr(r.offset, r.expected))
            << r.offset;
    }
}

}  // namespace
}  // namespace fk::tftp
