#include "fakes/fakes.h"
#include "picker/setdir.h"
#include "platform/posix/posix_file_system.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace kavo {
namespace {

using test::TempDir;

const std::string kVersionText =
    "This version of SPCPlay is not .650.\rThis will cause some incompatibilities.";

struct SetdirCase {
    const char* name;
    const char* fileName; // nullptr: no player; "dir:" prefix: a directory of that name
    std::size_t size;
    SetdirOutcome outcome;
    const char* message; // nullptr: none
};

class SetdirOnDisk : public ::testing::TestWithParam<SetdirCase> {};

TEST_P(SetdirOnDisk, AdoptsOnlyThePlayerOfTheExpectedLength) {
    const SetdirCase& c = GetParam();
    TempDir dir;
    std::string found;
    if (c.fileName != nullptr) {
        const std::string name = c.fileName;
        if (name.starts_with("dir:"))
            dir.dir(name.substr(4));
        else
            found = dir.file(name, c.size).string();
    }
    const std::string text = dir.str() + "/";
    const auto before = std::distance(std::filesystem::directory_iterator(dir.path()), {});

    PosixFileSystem files;
    fake::Messages messages;
    PlayerSettings settings;
    settings.adopt("/old/", "/old/SPCPLAY.EXE");
    EXPECT_EQ(setdir(text, files, messages, settings), c.outcome);

    if (c.message == nullptr) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(settings.playerDirectory(), text);
        EXPECT_EQ(settings.playerPath(), found) << "the name is kept as spelled on disk";
        EXPECT_EQ(settings.pathBoxText(), found);
    } else {
        ASSERT_EQ(messages.shown.size(), 1U);
        EXPECT_EQ(messages.shown[0],
                  (fake::Messages::Shown{c.message, "Error", MessageIcon::Error}));
        EXPECT_EQ(settings.playerDirectory(), "/old/");
        EXPECT_EQ(settings.playerPath(), "/old/SPCPLAY.EXE");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), before)
        << "the test must create nothing";
    if (!found.empty()) {
        EXPECT_EQ(std::filesystem::file_size(found), c.size) << "and change nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Players, SetdirOnDisk,
    ::testing::Values(
        SetdirCase{"ExactLength", "SPCPLAY.EXE", 913758, SetdirOutcome::Adopted, nullptr},
        SetdirCase{"LowerCaseName", "spcplay.exe", 913758, SetdirOutcome::Adopted, nullptr},
        SetdirCase{"OneByteShort", "SPCPLAY.EXE", 913757, SetdirOutcome::WrongVersion,
                   kVersionText.c_str()},
        SetdirCase{"OneByteLong", "SPCPLAY.EXE", 913759, SetdirOutcome::WrongVersion,
                   kVersionText.c_str()},
        SetdirCase{"Empty", "SPCPLAY.EXE", 0, SetdirOutcome::NotFound, "SPCPLAY.EXE not found!"},
        SetdirCase{"Missing", nullptr, 0, SetdirOutcome::NotFound, "SPCPLAY.EXE not found!"},
        SetdirCase{"Directory", "dir:SPCPLAY.EXE", 0, SetdirOutcome::NotFound,
                   "SPCPLAY.EXE not found!"},
        SetdirCase{"OtherName", "SPCPLAY.COM", 913758, SetdirOutcome::NotFound,
                   "SPCPLAY.EXE not found!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SetdirOnDisk, VersionMessageSplitsItsTwoSentencesByOneCarriageReturn) {
    const std::string text(kWrongVersionMessage);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 1);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.substr(0, text.find('\r')), "This version of SPCPlay is not .650.");
}

TEST(SetdirOnDisk, RootDirectoryTextGetsTheNameDirectly) {
    fake::Files files;
    files.files["/SPCPLAY.EXE"] = std::string(913758, 'x');
    fake::Messages messages;
    PlayerSettings settings;
    EXPECT_EQ(setdir("/", files, messages, settings), SetdirOutcome::Adopted);
    EXPECT_EQ(settings.playerPath(), "/SPCPLAY.EXE");
    EXPECT_EQ(settings.playerDirectory(), "/");
}

} // namespace
} // namespace kavo
