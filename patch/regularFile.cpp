#include "patch/regularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace k1lib
{
std::FILE* openRegularFile(const std::string& path, FileRefusal& refusal, std::uintmax_t* size)
{
    refusal = FileRefusal::CannotOpen;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat status{};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
    {
        refusal = FileRefusal::NotRegular;
        ::close(fd);
        return nullptr;
    }
    // A regular file never makes a read wait; the flag only mattered for
    // the opening.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr)
    {
        ::close(fd);
        return nullptr;
    }
    refusal = FileRefusal::None;
    if (size != nullptr)
        *size = static_cast<std::uintmax_t>(status.st_size);
    return file;
}
} // namespace k1lib
