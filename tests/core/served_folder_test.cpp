#include "service/served_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "scratch_dir.h"
#include "service/server_config.h"

namespace fk::tftp {
namespace {

namespace fs = std::filesystem;

class ServedFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = scratch_.Dir() + "stage";
        scratch_.Write("stage/a.bin", "12345");
        scratch_.Write("stage/sub/b.bin", "xy");
        scratch_.Write("secret.txt", "do not serve");
        fs::create_symlink("a.bin", root_ + "/inside");
        fs::create_symlink(root_ + "/sub/b.bin", root_ + "/inside_absolute");
        fs::create_symlink("../secret.txt", root_ + "/out");
        fs::create_symlink(scratch_.Dir() + "secret.txt", root_ + "/out_absolute");
        fs::create_symlink("../..", root_ + "/sub/up");
        fs::create_symlink("/etc", root_ + "/etc");
        ASSERT_EQ(mkfifo((root_ + "/pipe").c_str(), 0600), 0);
        std::string error;
        ASSERT_TRUE(folder_.Open(root_, &error)) << error;
    }

    fk::testing::ScratchDir scratch_;
    std::string root_;
    CServedFolder folder_;
};

TEST_F(ServedFolderTest, OnlyFilesInsideTheFolderAreServed) {
    constexpr auto kOk = static_cast<ErrorCode>(0xFFFF);
    struct Case {
        std::string name;
        ErrorCode expected;
        std::uint64_t size = 0;
    };
    const Case cases[] = {
        {"a.bin", kOk, 5},
        {"sub/b.bin", kOk, 2},
        {"sub//b.bin", kOk, 2},
        {"inside", kOk, 5},
        {"inside_absolute", kOk, 2},
        {"../secret.txt", ErrorCode::kAccessViolation},
        {"sub/../a.bin", ErrorCode::kAccessViolation},
        {"..", ErrorCode::kAccessViolation},
        {"/etc/passwd", ErrorCode::kAccessViolation},
        {root_ + "/a.bin", ErrorCode::kAccessViolation},
        {"out", ErrorCode::kAccessViolation},
        {"out_absolute", ErrorCode::kAccessViolation},
        {"sub/up/secret.txt", ErrorCode::kAccessViolation},
        {"etc/passwd", ErrorCode::kAccessViolation},
        {"sub", ErrorCode::kAccessViolation},
        {"pipe", ErrorCode::kAccessViolation},
        {"missing.bin", ErrorCode::kFileNotFound},
        {"a.bin/x", ErrorCode::kFileNotFound},
        {"", ErrorCode::kFileNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OpenedFile file = folder_.OpenFile(c.name);
        if (c.expected == kOk) {
            ASSERT_GE(file.fd, 0) << file.message;
            EXPECT_EQ(file.size, c.size);
            close(file.fd);
        } else {
            EXPECT_LT(file.fd, 0);
            EXPECT_EQ(file.error, c.expected);
        }
    }
}

TEST_F(ServedFolderTest, RenamedFolderStillServesOnlyItself) {
    fs::rename(root_, scratch_.Dir() + "moved");
    const OpenedFile file = folder_.OpenFile("a.bin");
    EXPECT_GE(file.fd, 0);
    if (file.fd >= 0) close(file.fd);
    EXPECT_LT(folder_.OpenFile("out_absolute").fd, 0);
}

TEST(FileServerConfig, DirectoryAndPortAreRead) {
    fk::testing::ScratchDir dir;
    struct Case {
        const char* text;
        std::string directory;  // empty: the file is refused
        std::uint16_t port = kDefaultPort;
    };
    const Case cases[] = {
        {"[SERVER]\nDirectory=/srv/stage\n", "/srv/stage"},
        {"[server]\r\n directory = /srv/stage \r\nPORT=6969\r\n", "/srv/stage", 6969},
        {"[SERVER]\nDirectory=stage\n", dir.Dir() + "stage"},
        {"[OTHER]\nDirectory=/srv\n", ""},
        {"[SERVER]\nDirectory=\n", ""},
        {"[SERVER]\nDirectory=/srv\nPort=0\n", ""},
        {"[SERVER]\nDirectory=/srv\nPort=65536\n", ""},
        {"[SERVER]\nDirectory=/srv\nPort=69x\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string path = dir.Write("FileServer.ini", c.text);
        std::string error;
        const auto config = LoadServerConfig(path, &error);
        if (c.directory.empty()) {
            EXPECT_FALSE(config.has_value());
            EXPECT_FALSE(error.empty());
            continue;
        }
        ASSERT_TRUE(config.has_value()) << error;
        EXPECT_EQ(config->directory, c.directory);
        EXPECT_EQ(config->port, c.port);
    }
}

}  // namespace
}  // namespace fk::tftp
