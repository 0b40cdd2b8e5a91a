// CFileContent: whole-file reads with two zero bytes after the data, and
// deleting only the file that was actually read.
#include "cmdline/filecontent.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>

using namespace testsupport;

TEST(FileContent, ReadsWholeFileWithTwoZeroBytesAfterIt)
{
    CTempDir dir;
    std::string path = dir.File("content.bin");
    ASSERT_TRUE(WriteTextFile(path, std::string("ab\0c", 4)));
    CFileContent reader;
    char* pContent = NULL;
    DWORD cbContent = 0;
    ASSERT_EQ(1, reader.Read(path.c_str(), &pContent, &cbContent));
    ASSERT_NE(nullptr, pContent);
    EXPECT_EQ(6u, cbContent);
    EXPECT_EQ(0, memcmp(pContent, "ab\0c\0\0", 6));
    EXPECT_TRUE(PathExists(path)) << "reading deletes nothing";
    EXPECT_EQ(1, reader.Read(path.c_str(), NULL, NULL)) << "outputs may be null";

    std::string empty = dir.File("empty.bin");
    ASSERT_TRUE(WriteTextFile(empty, ""));
    ASSERT_EQ(1, reader.Read(empty.c_str(), &pContent, &cbContent));
    EXPECT_EQ(2u, cbContent);
    EXPECT_STREQ("", pContent);
}

TEST(FileContent, DeletesOnlyTheFileItRead)
{
    CTempDir dir;
    std::string first = dir.File("first.txt");
    ASSERT_TRUE(WriteTextFile(first, "x"));
    CFileContent reader;
    ASSERT_EQ(1, reader.Read(first.c_str(), NULL, NULL));
    EXPECT_EQ(0, reader.Read(dir.File("missing.txt").c_str(), NULL, NULL));
    EXPECT_EQ(0, reader.Read(NULL, NULL, NULL));
    EXPECT_EQ(0, reader.Read(dir.Path().c_str(), NULL, NULL)) << "a folder is no file";
    reader.DeleteReadFile();
    EXPECT_TRUE(PathExists(first)) << "a failed read forgets the file read before";

    ASSERT_EQ(1, reader.Read(first.c_str(), NULL, NULL));
    reader.DeleteReadFile();
    EXPECT_FALSE(PathExists(first));
    reader.DeleteReadFile();  // already gone: nothing to do

    ASSERT_TRUE(WriteTextFile(first, "new"));
    reader.Release();
    reader.DeleteReadFile();
    EXPECT_TRUE(PathExists(first)) << "released: no name held any more";
}
