// Little-endian fields, bounded text fields and crash-safe whole-file writes.
#include "persist/fileio.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void CopyTextField(char* dst, const uint8_t* src, size_t size) {
    if (size == 0) return;
    std::memcpy(dst, src, size);
    if (!std::memchr(src, 0, size)) dst[size - 1] = '\0';
}

namespace {

// The file `path` names once symbolic links are followed (at most 40 of them, as the system
// allows): a save through a link replaces the file it names and leaves the link a link. A link
// whose file does not exist yet names the file to be made. Empty when the links loop.
std::string FollowLinks(const char* path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n < 0) return current;   // not a link (or nothing there): this is the file
        const std::string link(target, static_cast<size_t>(n));
        const size_t slash = current.rfind('/');
        if (link.empty() || link[0] == '/' || slash == std::string::npos)
            current = link;
        else
            current = current.substr(0, slash + 1) + link;
    }
    return {};
}

// The folder part of `path`, with its slash ("" for a bare name: the current folder).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Makes a new, empty temporary file in `folder` under a short name of its own (".tbx" and eight
// random letters or digits, whatever the length of the target's name), created exclusively so
// that two writers never share one. The permissions are the usual ones of a new file.
int CreateTemporary(const std::string& folder, std::string& name) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::atomic<uint64_t> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint64_t bits = 0;
        if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            bits = static_cast<uint64_t>(now.tv_nsec) * 0x9E3779B97F4A7C15ull ^
                   static_cast<uint64_t>(::getpid()) << 32 ^ counter.fetch_add(1);
        }
        name = folder + ".tbx";
        for (int i = 0; i < 8; ++i, bits /= 62) name += kLetters[bits % 62];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Makes a rename in `folder` last through a power cut. Some file systems cannot sync a folder;
// the file itself is in place by then, so that is no failure of the write.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

bool WriteFileAtomically(const char* path, const void* data, size_t size) {
    const std::string target = FollowLinks(path);
    if (target.empty()) return false;
    // An existing file must be a plain file we may write: a read-only file is refused, not
    // replaced. Its permissions (and, where we may, its owner) pass to the new file.
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0 ||
                   ::access(target.c_str(), W_OK) != 0))
        return false;

    // The temporary file lies beside the target so that the final rename stays on one file
    // system: a crash leaves the old file or the new one, never a part of either.
    const std::string folder = FolderOf(target);
    std::string temp;
    const int fd = CreateTemporary(folder, temp);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
    if (ok && exists) {
        // Another's file that we may not give back to its owner stays ours, with its permissions.
        if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())
            ok = ::fchown(fd, existing.st_uid, existing.st_gid) == 0 || errno == EPERM;
        ok = ok && ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}
