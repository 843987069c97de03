#include "platform/win/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <streambuf>
#include <vector>

namespace win {
namespace {

bool Fail(std::string* error, int code) {
    if (error != nullptr) {
        *error = std::strerror(code);
    }
    return false;
}

/// Writes every byte, going on after a partial write or an interruption.
bool WriteAll(int fd, std::string_view data, int& code) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            code = errno;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

/// A stream's buffer that writes to a file descriptor in blocks and keeps the first error.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) { setp(m_block.data(), m_block.data() + m_block.size()); }
    int Error() const { return m_code; }

protected:
    int_type overflow(int_type ch) override {
        if (!Drain()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Drain() {
        const std::string_view pending(pbase(), static_cast<size_t>(pptr() - pbase()));
        setp(m_block.data(), m_block.data() + m_block.size());
        return m_code == 0 && WriteAll(m_fd, pending, m_code);
    }

    int m_fd;
    int m_code = 0;
    std::array<char, 1 << 16> m_block{};
};

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view data, std::string* error) {
    return ReplaceFileContents(
        path, [&](std::ostream& out) { out.write(data.data(), static_cast<std::streamsize>(data.size())); }, error);
}

bool ReplaceFileContents(const std::filesystem::path& path, const std::function<void(std::ostream&)>& write,
                         std::string* error) {
    std::filesystem::path target = path;
    std::error_code link;
    if (std::filesystem::is_symlink(target, link)) {
        const std::filesystem::path named = std::filesystem::read_symlink(target, link);
        if (!link) {
            target = named.is_absolute() ? named : target.parent_path() / named;
        }
    }
    // A new file gets the permissions the process's mask leaves of rw-rw-rw-; a replaced one
    // keeps its own.
    mode_t mode = 0;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            return Fail(error, EISDIR);
        }
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string pattern = target.string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return Fail(error, errno);
    }
    int code = 0;
    bool ok = true;
    {
        DescriptorBuffer buffer(fd);
        std::ostream out(&buffer);
        try {
            write(out);
        } catch (...) {
            // Whatever makes the contents failed: the old file stays, the temporary one goes.
            ::close(fd);
            ::unlink(name.data());
            throw;
        }
        out.flush();
        if (!out) {
            code = buffer.Error() != 0 ? buffer.Error() : EIO;
            ok = false;
        }
    }
    if (ok && ::fchmod(fd, mode) != 0) {
        code = errno;
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        code = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        code = errno;
        ok = false;
    }
    if (ok && ::rename(name.data(), target.c_str()) != 0) {
        code = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(name.data());
        return Fail(error, code);
    }
    return true;
}

}  // namespace win
