// Every write that replaces a file by renaming a temporary one over it makes the data durable
// first and the rename after: the file is flushed, renamed, then its folder is flushed. The test
// binary stands in for fsync and rename (by path, or in a folder held open) to see the order in
// which the writers call them.
#include <dlfcn.h>
#include <sys/stat.h>

#include <mutex>
#include <string>
#include <vector>

#include "foundation/data_custom.h"
#include "foundation/global_base.h"
#include "foundation/last_info.h"
#include "foundation/last_json.h"
#include "foundation/string_custom_paths.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/property_list.h"
#include "tests/foundation/temp_sandbox.h"

namespace {

std::mutex eventsMutex;
bool recording = false;
std::vector<std::string> events;

void record(std::string event) {
    std::lock_guard lock(eventsMutex);
    if (recording) events.push_back(std::move(event));
}

template <class F>
F realFunction(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
    static auto real = realFunction<int (*)(int)>("fsync");
    struct stat info {};
    if (::fstat(fd, &info) == 0) record(S_ISDIR(info.st_mode) ? "sync folder" : "sync file");
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) {
    static auto real = realFunction<int (*)(const char*, const char*)>("rename");
    record("rename");
    return real(from, to);
}

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    static auto real = realFunction<int (*)(int, const char*, int, const char*)>("renameat");
    record("rename");
    return real(fromFolder, from, toFolder, to);
}

namespace {

class DurableWritesTest : public TempSandboxTest {
protected:
    // The calls one write made, in order.
    template <class Write>
    std::vector<std::string> callsOf(Write write) {
        {
            std::lock_guard lock(eventsMutex);
            events.clear();
            recording = true;
        }
        write();
        std::lock_guard lock(eventsMutex);
        recording = false;
        return events;
    }
};

TEST_F(DurableWritesTest, EveryReplacingWriteFlushesTheFileThenRenamesThenFlushesTheFolder) {
    createDirectory(withLibraryPath(""));
    const std::vector<std::string> durable = {"sync file", "rename", "sync folder"};
    const Value dictionary = Value::dictionary({{"k", Value(1)}});

    EXPECT_EQ(callsOf([&] {
                  EXPECT_TRUE(saveToPath(Bytes{1, 2, 3}, withLibraryPath("a.bin")));
              }),
              durable)
        << "saveToPath";
    EXPECT_EQ(callsOf([&] { EXPECT_TRUE(GlobalBase::saveToFilePath1(dictionary, withLibraryPath("b.1"))); }), durable)
        << "keyed-archive store file";
    auto json = LastJSON::make(withLibraryPath("c.json"));
    json->set(Value(2), "n");
    EXPECT_EQ(callsOf([&] { EXPECT_TRUE(json->save()); }), durable) << "JSON store";
    EXPECT_EQ(
        callsOf([&] {
            EXPECT_TRUE(
                writePropertyListFile(withLibraryPath("d.plist"), dictionary, NSPropertyListBinaryFormat_v1_0).ok());
        }),
        durable)
        << "property list";
    EXPECT_EQ(callsOf([&] { EXPECT_TRUE(NSKeyedArchiver::archiveRootObject(dictionary, withLibraryPath("e")).ok()); }),
              durable)
        << "keyed archive";
    // Nothing was left behind beside the files.
    auto entries = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(withLibraryPath(""));
    ASSERT_TRUE(entries.ok());
    EXPECT_EQ(entries->size(), 5u);
}

}  // namespace
