#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileSizeLimit.h"
#include "NonDesignFiles.h"
#include "model/FileBytes.h"

namespace {

namespace fs = std::filesystem;

// One entry of a folder as a save may change it.
struct Entry {
    std::string kind;
    mode_t mode;
    std::string content;  // a regular file's bytes, a link's target

    bool operator==(const Entry& other) const
    {
        return kind == other.kind && mode == other.mode && content == other.content;
    }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry)
{
    return out << entry.kind << " " << std::oct << entry.mode << std::dec << " \"" << entry.content << "\"";
}

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

Entry Describe(const fs::path& path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return {"missing", 0, ""};
    const mode_t mode = status.st_mode & 07777;
    switch (status.st_mode & S_IFMT) {
    case S_IFREG:
        return {"file", mode, ReadText(path)};
    case S_IFLNK:
        return {"link", mode, fs::read_symlink(path).string()};
    case S_IFDIR:
        return {"folder", mode, ""};
    case S_IFIFO:
        return {"FIFO", mode, ""};
    case S_IFSOCK:
        return {"socket", mode, ""};
    case S_IFCHR:
        return {"character device", mode, ""};
    }
    return {"other", mode, ""};
}

// Everything under a folder, by relative name.
using Snapshot = std::map<std::string, Entry>;

Snapshot TakeSnapshot(const fs::path& folder)
{
    Snapshot snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        snapshot[entry.path().lexically_relative(folder).string()] = Describe(entry.path());
    return snapshot;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

class SaveTargets : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = testing::TempDir() + "qxr-save-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        for (const fs::path& path : unwritable_)
            MakeWritable(path);
        fs::remove_all(folder_);
    }

    // Keeps this process from changing the file or folder: its permission
    // bits do, except for root, whom only the immutable attribute stops.
    // False where the file system has no such attribute.
    bool MakeUnwritable(const fs::path& path, mode_t mode)
    {
        if (::chmod(path.c_str(), mode) != 0)
            return false;
        unwritable_.push_back(path);
        return ::geteuid() != 0 || SetImmutable(path, true);
    }

    static bool SetImmutable(const fs::path& path, bool immutable)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        int flags = 0;
        bool set = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (set) {
            flags = immutable ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return set;
    }

    static void MakeWritable(const fs::path& path)
    {
        if (::geteuid() == 0)
            SetImmutable(path, false);
        ::chmod(path.c_str(), 0700);
    }

    fs::path folder_;
    std::vector<fs::path> unwritable_;
};

const std::string kOld = "old design";
const std::string kNew = "the new design, longer than the old one";

TEST_F(SaveTargets, EachTargetIsSavedOrRefusedAndNothingElseChanges)
{
    const std::string longName = std::string(251, 'n') + ".qxr";  // the 255 bytes a name may have
    const struct {
        const char* what;
        // Makes the target in the folder and names the path to save to; nothing
        // where this machine cannot make it.
        std::function<std::optional<fs::path>(const fs::path&)> make;
        // The files that get the new bytes, keeping their permissions; none when refused.
        std::vector<std::string> saved;
    } cases[] = {
        {"a symbolic link to a design",
         [](const fs::path& folder) {
             WriteText(folder / "design.qxr", kOld);
             fs::create_symlink("design.qxr", folder / "link.qxr");
             return folder / "link.qxr";
         },
         {"design.qxr"}},
        {"a link into another folder",
         [](const fs::path& folder) {
             fs::create_directory(folder / "designs");
             fs::create_directory(folder / "links");
             WriteText(folder / "designs/design.qxr", kOld);
             fs::create_symlink("../designs/design.qxr", folder / "links/link.qxr");
             return folder / "links/link.qxr";
         },
         {"designs/design.qxr"}},
        {"a chain of links",
         [](const fs::path& folder) {
             WriteText(folder / "design.qxr", kOld);
             fs::create_symlink(folder / "design.qxr", folder / "first.qxr");
             fs::create_symlink("first.qxr", folder / "second.qxr");
             return folder / "second.qxr";
         },
         {"design.qxr"}},
        {"a dangling link",
         [](const fs::path& folder) {
             fs::create_symlink("design.qxr", folder / "link.qxr");
             return folder / "link.qxr";
         },
         {"design.qxr"}},
        {"a dangling link into a missing folder",
         [](const fs::path& folder) {
             fs::create_symlink("missing/design.qxr", folder / "link.qxr");
             return folder / "link.qxr";
         },
         {}},
        {"a loop of links",
         [](const fs::path& folder) {
             fs::create_symlink("second.qxr", folder / "first.qxr");
             fs::create_symlink("first.qxr", folder / "second.qxr");
             return folder / "first.qxr";
         },
         {}},
        {"a file with another hard link",
         [](const fs::path& folder) {
             WriteText(folder / "design.qxr", kOld);
             fs::create_hard_link(folder / "design.qxr", folder / "other.qxr");
             return folder / "design.qxr";
         },
         {"design.qxr", "other.qxr"}},
        {"a FIFO",
         [](const fs::path& folder) {
             EXPECT_TRUE(non_design_files::MakeFifo(folder / "design.qxr"));
             return folder / "design.qxr";
         },
         {}},
        {"a UNIX socket",
         [](const fs::path& folder) {
             EXPECT_TRUE(non_design_files::MakeSocket(folder / "design.qxr"));
             return folder / "design.qxr";
         },
         {}},
        {"a character device",
         [](const fs::path& folder) -> std::optional<fs::path> {
             if (!non_design_files::MakeNullDevice(folder / "design.qxr"))
                 return std::nullopt;
             return folder / "design.qxr";
         },
         {}},
        {"a link to a FIFO",
         [](const fs::path& folder) {
             EXPECT_TRUE(non_design_files::MakeFifo(folder / "fifo"));
             fs::create_symlink("fifo", folder / "link.qxr");
             return folder / "link.qxr";
         },
         {}},
        {"a folder",
         [](const fs::path& folder) {
             fs::create_directory(folder / "design.qxr");
             WriteText(folder / "design.qxr/inside", kOld);
             return folder / "design.qxr";
         },
         {}},
        {"a new file with a 255-byte name", [&](const fs::path& folder) { return folder / longName; }, {longName}},
        {"a file with a 255-byte name",
         [&](const fs::path& folder) {
             WriteText(folder / longName, kOld);
             return folder / longName;
         },
         {longName}},
        {"a read-only file",
         [this](const fs::path& folder) -> std::optional<fs::path> {
             WriteText(folder / "design.qxr", kOld);
             if (!MakeUnwritable(folder / "design.qxr", 0444))
                 return std::nullopt;
             return folder / "design.qxr";
         },
         {}},
        {"a file in a folder that takes no new file",
         [this](const fs::path& folder) -> std::optional<fs::path> {
             fs::create_directory(folder / "locked");
             WriteText(folder / "locked/design.qxr", kOld);
             if (!MakeUnwritable(folder / "locked", 0555))
                 return std::nullopt;
             return folder / "locked/design.qxr";
         },
         {"locked/design.qxr"}},
        {"a new file in a folder that takes no new file",
         [this](const fs::path& folder) -> std::optional<fs::path> {
             fs::create_directory(folder / "locked");
             if (!MakeUnwritable(folder / "locked", 0555))
                 return std::nullopt;
             return folder / "locked/design.qxr";
         },
         {}},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = folder_ / std::to_string(index++);
        fs::create_directory(folder);
        const std::optional<fs::path> target = c.make(folder);
        if (!target) {
            std::cout << "not possible on this machine, not run: " << c.what << "\n";
            continue;
        }
        Snapshot expected = TakeSnapshot(folder);
        for (const std::string& name : c.saved) {
            const auto before = expected.find(name);
            expected[name] = {"file", before != expected.end() ? before->second.mode : NewFileMode(), kNew};
        }

        EXPECT_EQ(WriteFileBytesAtomically(*target, Bytes(kNew)), !c.saved.empty());

        EXPECT_EQ(TakeSnapshot(folder), expected);
    }
}

TEST_F(SaveTargets, ASaveThatCannotBeWrittenWholeKeepsTheOldContent)
{
    const struct {
        const char* what;
        bool hardLinked;  // rewritten in place rather than replaced
    } cases[] = {{"a file replaced through a temporary file", false}, {"a file rewritten in place", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = folder_ / (c.hardLinked ? "in-place" : "replaced");
        fs::create_directory(folder);
        WriteText(folder / "design.qxr", kOld);
        if (c.hardLinked)
            fs::create_hard_link(folder / "design.qxr", folder / "other.qxr");
        const Snapshot before = TakeSnapshot(folder);
        bool saved = true;
        {
            FileSizeLimit limit(32);
            saved = WriteFileBytesAtomically(folder / "design.qxr", std::vector<uint8_t>(64, 'x'));
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(TakeSnapshot(folder), before);
    }
}

TEST_F(SaveTargets, AReplacedFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    const fs::path path = folder_ / "design.qxr";
    WriteText(path, kOld);
    ASSERT_EQ(::chown(path.c_str(), 1234, 5678), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(WriteFileBytesAtomically(path, Bytes(kNew)));

    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 1234u);
    EXPECT_EQ(status.st_gid, 5678u);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadText(path), kNew);
}

}  // namespace
