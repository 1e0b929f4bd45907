#include "app/ini_file.h"

#include <gtest/gtest.h>

#include "scratch_dir.h"

namespace fk {
namespace {

constexpr const char* kSample =
    "\xEF\xBB\xBF; settings\r\n"
    "[Setting]\r\n"
    "retransmission_max = 5 \r\n"
    "  Retransmission_Interval\t=\t500\r\n"
    "quoted=\"  spaced  \"\r\n"
    "empty=\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "no equals sign\r\n"
    "[ Color ]\n"
    "Background=255,255,255\n"
    "caption=Caf\xC3\xA9 Nord\n";

TEST(IniFile, ProfileReadingRules) {
    const auto ini = CIniFile::Parse(kSample);
    const struct {
        const char* section;
        const char* key;
        std::size_t cap;
        const char* expected;
    } cases[] = {
        {"Setting", "retransmission_max", 127, "5"},
        {"SETTING", "RETRANSMISSION_INTERVAL", 127, "500"},
        {"setting", " retransmission_interval ", 127, "500"},
        {"Setting", "quoted", 127, "  spaced  "},
        {"Setting", "empty", 127, ""},
        {"Setting", "dup", 127, "first"},
        {"Setting", "missing", 127, "fallback"},
        {"Nowhere", "retransmission_max", 127, "fallback"},
        {"color", "background", 127, "255,255,255"},
        {"Color", "background", 3, "255"},
        {"Color", "caption", 4, "Caf\xC3\xA9"},
        {"Color", "caption", 3, "Caf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.Read(c.section, c.key, "fallback", c.cap), c.expected)
            << c.section << "/" << c.key;
    }
    EXPECT_FALSE(ini.Find("Setting", "no equals sign").has_value());
    EXPECT_FALSE(ini.Find("Setting", "; settings").has_value());
}

TEST(IniFile, MissingFileGivesDefaultsAndLongValuesAreCut) {
    testing::ScratchDir dir;
    EXPECT_EQ(ReadProfileString(dir.Dir() + "absent.ini", "Setting", "k", "3", 127), "3");
    const std::string path = dir.Write("Setting.ini", "[Setting]\nk=" + std::string(200, 'v'));
    EXPECT_EQ(ReadProfileString(path, "Setting", "k", "", 127), std::string(127, 'v'));
    EXPECT_EQ(ReadProfileString(path, "Setting", "k", "", 1023), std::string(200, 'v'));
}

TEST(IniFile, WriterChangesOneKeyAndKeepsTheRest) {
    const struct {
        const char* name;
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"replace in place", "; c\n[SERVER]\nDirectory=/old\nPort=69\n", "server", "directory",
         "/new", "; c\n[SERVER]\nDirectory=/new\nPort=69\n"},
        {"add to its section", "[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3",
         "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
        {"add a section", "[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
        {"create the file", nullptr, "SERVER", "Directory", "/srv", "[SERVER]\nDirectory=/srv\n"},
        {"same key in another section untouched", "[A]\nk=1\n[B]\nk=2\n", "B", "k", "9",
         "[A]\nk=1\n[B]\nk=9\n"},
        // Found by the ini_file fuzzer: the mark hid the first section from the writer,
        // which added a second [Server] whose Port the reader never got to.
        {"first section behind a byte-order mark", "\xEF\xBB\xBF[Server]\nPort=1\n", "Server",
         "Port", "6969", "\xEF\xBB\xBF[Server]\nPort=6969\n"},
    };
    for (const auto& c : cases) {
        testing::ScratchDir dir;
        const std::string path = dir.Dir() + "FileServer.ini";
        if (c.before != nullptr) dir.Write("FileServer.ini", c.before);
        ASSERT_TRUE(WriteProfileString(path, c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(dir.Read("FileServer.ini"), c.after) << c.name;
        EXPECT_EQ(ReadProfileString(path, c.section, c.key, "", 1023), c.value) << c.name;
    }
}

TEST(IniFile, WriterReportsAnUnwritableFile) {
    EXPECT_FALSE(WriteProfileString("/nonexistent-dir/x/FileServer.ini", "S", "k", "v"));
}

}  // namespace
}  // namespace fk
