// Paths and files: roots, membership, existence, unique names, name cleaning and file facts.
#include <set>

#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
#include "tests/foundation/temp_sandbox.h"

using PathsTest = TempSandboxTest;

TEST_F(PathsTest, RootsJoinNamesAndRemoveThemAgain) {
    const std::string library = Sandbox::libraryDirectory();
    EXPECT_EQ(withLibraryPath("Global.1"), library + "/Global.1");
    EXPECT_EQ(withCachePath(""), Sandbox::cachesDirectory());
    EXPECT_EQ(withoutCachePath(withCachePath("")), "");
    EXPECT_EQ(withoutCachePath("x/y"), "x/y");
    EXPECT_EQ(withoutLibraryPath(withLibraryPath("a/b.txt")), "a/b.txt");
    EXPECT_EQ(withoutDocumentPath("/elsewhere" + withDocumentPath("c")), "c");

    EXPECT_TRUE(isInLibraryPath(withCachePath("p.jpg")));  // the caches lie inside the library
    EXPECT_FALSE(isInCachePath(withLibraryPath("Global.1")));
    EXPECT_TRUE(isLocalPath(withDocumentPath("d")));
    EXPECT_TRUE(isLocalPath(withCachePath("")));
    EXPECT_FALSE(isLocalPath("/tmp/elsewhere"));
    EXPECT_TRUE(isExtFilePath("/a/B.JPG", "jpg"));
    EXPECT_FALSE(isExtFilePath("/a/b.jpeg", "jpg"));
}

TEST_F(PathsTest, BundlePathFindsResourcesByFullName) {
    writeFile("bundle/curve.acv", "x");
    EXPECT_EQ(withBundlePath("curve.acv"), pathOf("bundle/curve.acv"));
    EXPECT_FALSE(withBundlePath("missing.acv"));
    EXPECT_FALSE(withBundlePath(""));
}

TEST_F(PathsTest, ExistenceCreationAndRemoval) {
    const std::string dir = withLibraryPath("x/y/z");
    EXPECT_FALSE(existFile(""));
    EXPECT_FALSE(existDirectory(""));
    EXPECT_FALSE(existDirectory(dir));
    EXPECT_TRUE(createDirectory(dir));
    EXPECT_TRUE(createDirectory(dir));  // already there
    EXPECT_TRUE(existDirectory(dir));
    EXPECT_TRUE(existFile(dir));  // a directory is an item too

    writeFile("data/Library/x/y/z/f.txt", "1");
    writeFile("data/Library/x/y/z/g.txt", "2");
    EXPECT_FALSE(existDirectory(dir + "/f.txt"));
    EXPECT_TRUE(skipBackup(dir + "/f.txt"));
    EXPECT_FALSE(skipBackup(dir + "/none"));
    removeAllFilesInDirectory(dir);
    EXPECT_FALSE(existFile(dir + "/f.txt"));
    EXPECT_TRUE(existDirectory(dir));
    removeAllFilesInDirectory(dir + "/missing");  // nothing to do, nothing fails

    writeFile("data/Library/x/y/z/h.txt", "3");
    EXPECT_TRUE(removeFile(dir + "/h.txt"));
    EXPECT_FALSE(removeFile(dir + "/h.txt"));
    EXPECT_FALSE(removeFile(withLibraryPath("x"))) << "a folder is no file";
    EXPECT_TRUE(existDirectory(dir));
}

// Whatever is removed as a file takes one file or nothing: a folder under the name stays whole,
// with everything in it, and the log says so; a link goes, not what it points at.
TEST_F(PathsTest, RemovalTakesOneFileAndLeavesAFolderWhole) {
    writeFile("data/Library/r/held/inside/keep", "mine");
    writeFile("data/Library/r/plain.txt", "1");
    writeFile("data/Library/target.txt", "target");
    const std::string folder = withLibraryPath("r/held");
    std::filesystem::create_symlink(withLibraryPath("target.txt"), withLibraryPath("r/link"));
    std::filesystem::create_symlink(withLibraryPath("gone"), withLibraryPath("r/dangling"));

    LogCapture log;
    EXPECT_FALSE(removeFile(folder, "test"));
    EXPECT_EQ(readFile(folder + "/inside/keep"), "mine");
    EXPECT_TRUE(log.contains("warning test: cannot remove " + folder + " (Is a directory); it stays"))
        << ::testing::PrintToString(log.lines());
    EXPECT_TRUE(removeFile(withLibraryPath("r/dangling")));
    log.clear();
    EXPECT_FALSE(removeFile(withLibraryPath("r/none")));
    EXPECT_TRUE(log.lines().empty()) << "nothing there is nothing to say";

    removeAllFilesInDirectory(withLibraryPath("r"));
    EXPECT_FALSE(existFile(withLibraryPath("r/plain.txt")));
    EXPECT_FALSE(existFile(withLibraryPath("r/link")));
    EXPECT_EQ(readFile(withLibraryPath("target.txt")), "target");
    EXPECT_EQ(readFile(folder + "/inside/keep"), "mine");
}

TEST_F(PathsTest, ExtensionSearchIsOneLevelAndDirectoriesCountOnlyWithTheFlag) {
    const std::string dir = withDocumentPath("search");
    createDirectory(dir + "/sub.jpg");
    EXPECT_TRUE(isFileExistWithExtensions(dir, {"jpg"}, true));
    EXPECT_FALSE(isFileExistWithExtensions(dir, {"jpg"}, false));
    writeFile("data/Documents/search/sub.jpg/deep.png", "x");
    EXPECT_FALSE(isFileExistWithExtensions(dir, {"png"}, false));
    writeFile("data/Documents/search/top.PNG", "x");
    EXPECT_TRUE(isFileExistWithExtensions(dir, {"gif", "png"}, false));
    EXPECT_FALSE(isFileExistWithExtensions(dir + "/none", {"png"}, true));
}

TEST_F(PathsTest, NameParts) {
    EXPECT_EQ(parentDirectory("name"), "");
    EXPECT_EQ(parentDirectory("/a/b"), "/a");
    EXPECT_EQ(parentDirectory("/a"), "");
    EXPECT_EQ(pathExtension("/d.x/a.tar.gz"), "gz");
    EXPECT_EQ(pathExtension("/d.x/noext"), "");
    EXPECT_EQ(pathExtension(".hidden"), "");
    EXPECT_EQ(stringByDeletingPathExtension("a.jpg"), "a");
}

TEST_F(PathsTest, NewFilePathCountsUpNextToTheName) {
    const std::string dir = withDocumentPath("n");
    createDirectory(dir);
    EXPECT_EQ(newFilePath(dir + "/a.jpg"), dir + "/a.jpg");
    writeFile("data/Documents/n/a.jpg", "x");
    EXPECT_EQ(newFilePath(dir + "/a.jpg"), dir + "/a-1.jpg");
    writeFile("data/Documents/n/a-1.jpg", "x");
    EXPECT_EQ(newFilePath(dir + "/a.jpg"), dir + "/a-2.jpg");
    writeFile("data/Documents/n/a-9.jpg", "x");
    EXPECT_EQ(newFilePath(dir + "/a-9.jpg"), dir + "/a-10.jpg");
    writeFile("data/Documents/n/b", "x");
    writeFile("data/Documents/n/b-1", "x");
    EXPECT_EQ(newFilePath(dir + "/b"), dir + "/b-2");
}

TEST_F(PathsTest, NewFilePathTreatsTheExtensionAsTextAndSurvivesHugeNumbers) {
    const std::string dir = withDocumentPath("m");
    // An extension with pattern characters must be matched literally, not as a pattern.
    writeFile("data/Documents/m/a-1.j+g", "x");
    EXPECT_EQ(newFilePath(dir + "/a-1.j+g"), dir + "/a-2.j+g");
    writeFile("data/Documents/m/a-1.j(g", "x");
    EXPECT_EQ(newFilePath(dir + "/a-1.j(g"), dir + "/a-2.j(g");
    // A number beyond any counter gives a new numbered name instead of wrapping around or looping.
    writeFile("data/Documents/m/z-99999999999999999999.jpg", "x");
    EXPECT_EQ(newFilePath(dir + "/z-99999999999999999999.jpg"), dir + "/z-99999999999999999999-1.jpg");
    writeFile("data/Documents/m/w-2147483647.jpg", "x");
    std::string next = newFilePath(dir + "/w-2147483647.jpg");
    EXPECT_NE(next, dir + "/w-2147483647.jpg");
    EXPECT_FALSE(existFile(next));
}

TEST_F(PathsTest, NewDirectoryPathStaysNextToTheName) {
    const std::string dir = withDocumentPath("seg");
    createDirectory(dir);
    EXPECT_EQ(newDirectoryPath(dir), dir + "-1");
    createDirectory(dir + "-1");
    EXPECT_EQ(newDirectoryPath(dir), dir + "-2");
    // A bare name gives bare candidates, never a path at the file-system root.
    EXPECT_EQ(newDirectoryPath("korva-surely-absent-name"), "korva-surely-absent-name");
    const std::string cwdName = std::filesystem::current_path().filename().string();
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(previous.parent_path());
    EXPECT_EQ(newDirectoryPath(cwdName), cwdName + "-1") << "an existing relative name";
    std::filesystem::current_path(previous);
}

TEST_F(PathsTest, NewPathsAtTheRootStayAbsolute) {
    // "/tmp" always exists; its siblings are very unlikely to.
    ASSERT_FALSE(existFile("/tmp-1"));
    EXPECT_EQ(newDirectoryPath("/tmp"), "/tmp-1");
    EXPECT_EQ(newFilePath("/tmp"), "/tmp-1");
}

TEST_F(PathsTest, NameCleaning) {
    EXPECT_EQ(fileName("a/b c?d=1.png"), "a.b.c.d.1.png");
    EXPECT_EQ(fileName("é1"), ".1");  // one mark per character
    EXPECT_EQ(onlyFilename("a:b/c?"), "a_b_c_");
    EXPECT_EQ(onlyFilenameRemoveInvalid("a:b/c?"), "abc");
    EXPECT_EQ(onlyFilename("\"%*/:<>?\\|ok"), "__________ok");
}

TEST_F(PathsTest, FileFacts) {
    writeFile("data/Documents/f.bin", std::string(1500, 'x'));
    const std::string path = withDocumentPath("f.bin");
    Value facts = fileAttributes(path);
    EXPECT_EQ(facts["size"].integerValue(), 1500);
    EXPECT_TRUE(facts["udate"].isDate());
    EXPECT_TRUE(facts["type"].isString());
    EXPECT_EQ(fileSizeString(path), "2 KB");
    EXPECT_FALSE(fileLastModifiedString(path).empty());

    EXPECT_EQ(fileAttributes(withDocumentPath("none")).count(), 0u);
    EXPECT_FALSE(fileCreationDate(withDocumentPath("none")));
    EXPECT_EQ(fileSizeString(withDocumentPath("none")), "0 bytes");
    EXPECT_EQ(fileLastModifiedString(withDocumentPath("none")), "");
}

TEST_F(PathsTest, ArchivesAreNeverExtracted) {
    EXPECT_FALSE(extract(withDocumentPath("a.zip"), withDocumentPath("out"), nullptr));
    EXPECT_FALSE(existPassword(withDocumentPath("a.zip")));
}

TEST(RandomString, DrawsFromLettersAndDigits) {
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    EXPECT_EQ(generateRandomString(0), "");
    std::string a = generateRandomString(16), b = generateRandomString(16);
    EXPECT_EQ(a.size(), 16u);
    EXPECT_EQ(a.find_first_not_of(alphabet), std::string::npos);
    EXPECT_NE(a, b);
    std::set<char> seen;
    for (char c : generateRandomString(4000)) seen.insert(c);
    EXPECT_EQ(seen.size(), 62u);
}
