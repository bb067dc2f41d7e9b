#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace {

// Points TMPDIR elsewhere for one test.
class TmpDirGuard
{
public:
    explicit TmpDirGuard(char const* dir)
    {
        if (char const* old = std::getenv("TMPDIR"))
            myOld = old;
        setenv("TMPDIR", dir, 1);
    }
    ~TmpDirGuard()
    {
        if (myOld)
            setenv("TMPDIR", myOld->c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    TmpDirGuard(TmpDirGuard const&) = delete;
    TmpDirGuard& operator=(TmpDirGuard const&) = delete;

private:
    std::optional<std::string> myOld;
};

} // namespace

TEST(ScratchDir, RemovesEverythingItHoldsAndNothingItLinksTo)
{
    ScratchDir other;
    writeFile(other.file("kept"), "kept");
    std::string gone;
    {
        ScratchDir dir;
        gone = dir.path;
        ASSERT_THAT(gone, testing::StartsWith("/"));
        std::filesystem::create_directories(dir.file("a/b/c"));
        writeFile(dir.file("a/b/c/file"), "text");
        std::filesystem::create_directory_symlink(other.path, dir.file("a/link"));
        EXPECT_EQ(readFile(dir.file("a/link/kept")), "kept");
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(gone)));
    EXPECT_EQ(readFile(other.file("kept")), "kept");
}

TEST(ScratchDir, NoTemporaryFolderStopsTheTestInsteadOfWritingBesideAnEmptyPath)
{
    TmpDirGuard tmp("/nonexistent-vantrel-folder");
    try {
        ScratchDir dir;
        FAIL() << "made " << dir.path;
    } catch (std::system_error const& e) {
        EXPECT_THAT(e.what(), testing::HasSubstr("/nonexistent-vantrel-folder/vantrel-test-"));
        EXPECT_EQ(e.code().value(), ENOENT);
    }
}
