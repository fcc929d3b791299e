#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/Platform.h"

namespace netsim {
namespace {

TEST(PlatformTest, FilesAndPaths) {
    Platform& platform = Platform::instance();
    auto dir = std::filesystem::temp_directory_path() / "netsim-platform-test-\xc3\xa9";
    std::filesystem::create_directories(dir);
    auto path = (dir / "f.txt").string();
    std::ofstream(path) << "hello";
    EXPECT_EQ(platform.fileSize(path), 5u);
    std::FILE* file = platform.openFile(path, "rb");
    ASSERT_NE(file, nullptr);
    platform.closeFile(file);
    EXPECT_EQ(platform.openFile((dir / "missing").string(), "rb"), nullptr);
    try {
        platform.fileSize((dir / "missing").string());
        FAIL() << "expected an exception";
    } catch (const PlatformException& e) {
        EXPECT_STREQ(e.what(), "Stat() failed on file");
    }
    EXPECT_TRUE(platform.isAbsolutePath(path));
    EXPECT_FALSE(platform.isAbsolutePath("a/b"));
    EXPECT_EQ(platform.directoryOf(path), dir.string());
    EXPECT_EQ(platform.directoryOf("plain"), "");
    EXPECT_EQ(platform.pathSeparator(), '/');
    EXPECT_EQ(platform.currentDirectory(), std::filesystem::current_path().string());
    std::filesystem::remove_all(dir);
}

TEST(PlatformTest, SemaphoreCountsAcrossThreads) {
    auto semaphore = Platform::instance().createSemaphore(0);
    std::atomic<int> consumed{0};
    std::thread consumer([&] {
        for (int i = 0; i < 1000; ++i) {
            semaphore->wait();
            ++consumed;
        }
    });
    for (int i = 0; i < 1000; ++i) semaphore->post();
    consumer.join();
    EXPECT_EQ(consumed.load(), 1000);
    auto primed = Platform::instance().createSemaphore(2);
    primed->wait();
    primed->wait();  // would block forever if the initial count were lost
    Platform::instance().destroySemaphore(std::move(primed));
}

}  // namespace
}  // namespace netsim
