// Where the data and the files of a run are found, for a build tree and an installed
// package, each laid out in scratch folders.
#include "app/program_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/private_folder.h"
#include "scratch_dir.h"

namespace fk {
namespace {

namespace fs = std::filesystem;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// A build tree in build/bin/, a package in usr/, a user with config/ and run/.
class FolderPlacesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* dir : {"build/bin/service", "usr/bin", "usr/libexec/fieldkit",
                                "usr/share/fieldkit", "config", "run", "tmp"}) {
            fs::create_directories(scratch_.Dir() + dir);
        }
    }

    FolderPlaces Places(const std::string& program_dir) const {
        const std::string root = scratch_.Dir();
        FolderPlaces places;
        places.program_dir = root + program_dir;
        places.installed_program_dirs = {root + "usr/bin/", root + "usr/libexec/fieldkit/"};
        places.installed_data_dir = root + "usr/share/fieldkit/";
        places.installed_file_server = root + "usr/libexec/fieldkit/FileServer";
        places.config_home = root + "config/";
        places.runtime_dir = root + "run/";
        places.temp_dir = root + "tmp/";
        places.uid = geteuid();
        return places;
    }

    std::string Path(const std::string& relative) const { return scratch_.Dir() + relative; }

    testing::ScratchDir scratch_;
};

TEST_F(FolderPlacesTest, EachLayoutFindsItsDataAndRunFolder) {
    const std::string tmp_own = "tmp/fieldkit-" + std::to_string(geteuid()) + "/";
    const struct {
        const char* name;
        std::string program_dir;
        bool runtime;  // whether the user has a runtime folder
        std::string data, settings, file_server, run, service_run;
    } cases[] = {
        {"build tree", "build/bin/", true, "build/bin/", "build/bin/Setting.ini",
         "build/bin/service/FileServer", "build/bin/", "build/bin/service/"},
        {"installed program", "usr/bin/", true, "usr/share/fieldkit/",
         "usr/share/fieldkit/Setting.ini", "usr/libexec/fieldkit/FileServer", "run/fieldkit/",
         "run/fieldkit/"},
        {"installed file server", "usr/libexec/fieldkit/", true, "usr/share/fieldkit/",
         "usr/share/fieldkit/Setting.ini", "usr/libexec/fieldkit/FileServer", "run/fieldkit/",
         "run/fieldkit/"},
        {"program folder not writable", "gone/bin/", true, "gone/bin/", "gone/bin/Setting.ini",
         "gone/bin/service/FileServer", "run/fieldkit/", "run/fieldkit/"},
        {"installed, no runtime folder", "usr/bin/", false, "usr/share/fieldkit/",
         "usr/share/fieldkit/Setting.ini", "usr/libexec/fieldkit/FileServer", tmp_own, tmp_own},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FolderPlaces places = Places(c.program_dir);
        if (!c.runtime) places.runtime_dir.clear();
        EXPECT_EQ(IsInstalled(places), c.program_dir.starts_with("usr/"));
        EXPECT_EQ(DataDirectory(places), Path(c.data));
        EXPECT_EQ(SettingsPath(places), Path(c.settings));
        EXPECT_EQ(FileServerExecutable(places), Path(c.file_server));
        std::string error;
        EXPECT_EQ(RunDirectory(places, "", &error), Path(c.run)) << error;
        EXPECT_EQ(RunDirectory(places, "service/", &error), Path(c.service_run)) << error;
        if (c.run != c.program_dir) {
            EXPECT_EQ(ModeOf(Path(c.run)), 0700u);
        }
    }
}

TEST_F(FolderPlacesTest, TheUsersOwnSettingsWinInEveryLayout) {
    scratch_.Write("config/fieldkit/Setting.ini", "[Setting]\nretransmission_max=5\n");
    for (const char* program_dir : {"build/bin/", "usr/bin/"}) {
        EXPECT_EQ(SettingsPath(Places(program_dir)), Path("config/fieldkit/Setting.ini"))
            << program_dir;
    }
    FolderPlaces unknown_home = Places("usr/bin/");
    unknown_home.config_home.clear();
    EXPECT_EQ(SettingsPath(unknown_home), Path("usr/share/fieldkit/Setting.ini"));
}

// Root may write anywhere; an installed program still keeps its run out of /usr.
TEST_F(FolderPlacesTest, AWritableInstalledFolderIsNeverTheRunFolder) {
    ASSERT_EQ(access(Path("usr/bin/").c_str(), W_OK), 0);
    EXPECT_EQ(RunDirectory(Places("usr/bin/"), ""), Path("run/fieldkit/"));
}

TEST_F(FolderPlacesTest, ARunFolderThatIsNotTheUsersOwnIsNotUsed) {
    const std::string tmp_own = Path("tmp/fieldkit-" + std::to_string(geteuid()));
    const struct {
        const char* name;
        void (*prepare)(const std::string& root, const std::string& tmp_own);
        bool fresh_folder;  // a folder of a new name is made instead of the usual one
    } cases[] = {
        {"runtime folder of another user",
         [](const std::string& root, const std::string&) {
             ASSERT_EQ(chown((root + "run").c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
         },
         false},
        {"name in /tmp taken by a link",
         [](const std::string& root, const std::string& own) {
             ASSERT_EQ(chown((root + "run").c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
             fs::create_directory_symlink(root + "config", own);
         },
         true},
        {"name in /tmp taken by a file",
         [](const std::string& root, const std::string& own) {
             ASSERT_EQ(chown((root + "run").c_str(), geteuid() + 1, static_cast<gid_t>(-1)), 0);
             std::ofstream(own) << "x";
         },
         true},
    };
    if (geteuid() != 0) GTEST_SKIP() << "handing a folder to another user needs root";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(tmp_own);
        ASSERT_EQ(chown(Path("run").c_str(), geteuid(), static_cast<gid_t>(-1)), 0);
        fs::remove_all(Path("run/fieldkit"));
        c.prepare(scratch_.Dir(), tmp_own);
        const std::string run = RunDirectory(Places("usr/bin/"), "");
        if (c.fresh_folder) {
            EXPECT_TRUE(run.starts_with(tmp_own + "-")) << run;
        } else {
            EXPECT_EQ(run, tmp_own + "/");
        }
        EXPECT_EQ(ModeOf(run), 0700u);
        EXPECT_FALSE(fs::exists(Path("run/fieldkit")));
    }
}

TEST(PrivateFolder, IsMadeOrTightenedAndOtherwiseRefused) {
    testing::ScratchDir scratch;
    const std::string dir = scratch.Dir();
    fs::create_directory(dir + "open");
    chmod((dir + "open").c_str(), 0755);
    scratch.Write("target/keep", "x");
    fs::create_directory_symlink(dir + "target", dir + "link");
    scratch.Write("file", "x");
    const mode_t target_mode = ModeOf(dir + "target");
    const struct {
        const char* name;
        bool usable;
    } cases[] = {
        {"new", true}, {"open", true}, {"link", false}, {"file", false}, {"no/such/parent", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_EQ(MakePrivateFolder(dir + c.name, geteuid(), &error), c.usable);
        EXPECT_EQ(error.empty(), c.usable) << error;
        if (c.usable) {
            EXPECT_EQ(ModeOf(dir + c.name), 0700u);
        }
    }
    EXPECT_EQ(ModeOf(dir + "target"), target_mode) << "a link's target was changed";
    std::string error;
    EXPECT_FALSE(MakePrivateFolder(dir + "open", geteuid() + 1, &error));
}

}  // namespace
}  // namespace fk
