#include "store/DownloadFile.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {
using namespace vesk;

using DownloadFileTest = TempFolder;

TEST_F(DownloadFileTest, TakenNameGetsANumberAndTheOldFileStaysAsItWas) {
    writeFile(temp / "report.txt", "the user's own");
    writeFile(temp / "archive.tar.gz", "old");
    const auto file = DownloadFile::reserve(temp, "report.txt");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->target(), temp / "report (1).txt");
    writeFile(file->partial(), "downloaded");
    EXPECT_TRUE(file->finish());
    EXPECT_EQ(readFile(temp / "report.txt"), "the user's own");
    EXPECT_EQ(readFile(temp / "report (1).txt"), "downloaded");
    EXPECT_EQ(DownloadFile::reserve(temp, "archive.tar.gz")->target(), temp / "archive (1).tar.gz");
}

TEST_F(DownloadFileTest, TwoReservationsOfOneNameNeverShareAFile) {
    const auto first = DownloadFile::reserve(temp, "a.bin"),
               second = DownloadFile::reserve(temp, "a.bin");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->target(), temp / "a (1).bin");
    EXPECT_NE(first->partial(), second->partial());
}

TEST_F(DownloadFileTest, AbandonRemovesOnlyItsOwnFiles) {
    const auto file = DownloadFile::reserve(temp, "a.bin");
    writeFile(file->partial(), "half");
    file->abandon();
    EXPECT_TRUE(std::filesystem::is_empty(temp));
    // A reservation something else has filled meanwhile is no longer ours.
    const auto again = DownloadFile::reserve(temp, "a.bin");
    writeFile(again->target(), "someone else's");
    again->abandon();
    EXPECT_FALSE(again->finish());
    EXPECT_EQ(readFile(temp / "a.bin"), "someone else's");
}

TEST_F(DownloadFileTest, UnsafeNamesBecomePlainFileNames) {
    EXPECT_EQ(DownloadFile::safeName("../../etc/passwd"), "passwd");
    EXPECT_EQ(DownloadFile::safeName(".bashrc"), "bashrc");
    EXPECT_EQ(DownloadFile::safeName("a\nb\x7f.txt"), "ab.txt");
    EXPECT_EQ(DownloadFile::safeName(".."), "download");
}

} // namespace
